// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/hall_of_fame.h"

#include "scene/label_styles.h"
#include "shared_rules/utf8.h"

namespace kestrada::scene {

namespace {
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{255, 255, 255};
constexpr Colour kOrange{255, 128, 0};
constexpr Colour kHighlight{0, 0, 128};
constexpr Colour kGrey{192, 192, 192};
// Keys of their own, apart from the controls', so no motion is drawn.
constexpr uint32_t kFirstKey = 0xF0000000;
constexpr double kRowTop = 52;
constexpr double kRowHeight = 22;
constexpr double kMargin = 8;
// Under the name field, above the button.
constexpr double kNotesTop = 310;
constexpr double kNoteHeight = 20;

Rect inFrame(const Control& frame, const Control& c) {
    return {frame.Left + c.Left, frame.Top + c.Top, c.Width, c.Height};
}

// The caret as a bar between two characters.
std::string withCaret(const std::string& name, std::size_t caret) {
    const std::size_t at = shared_rules::utf8ByteOffset(name, caret);
    return name.substr(0, at) + "|" + name.substr(at);
}
} // namespace

Rect hallOfFameButton(const Form& form) {
    return inFrame(form.fraScores(), form.cmdNewGame());
}

Rect hallOfFameRow(const Form& form, std::size_t row) {
    const Control& frame = form.fraScores();
    return {frame.Left + kMargin, frame.Top + kRowTop + kRowHeight * static_cast<double>(row),
            frame.Width - 2 * kMargin, kRowHeight - 2};
}

Rect hallOfFameNameField(const Form& form) {
    const Control& frame = form.fraScores();
    return {frame.Left + kMargin + 95, frame.Top + kRowTop + kRowHeight * 10 + 8, 200, 22};
}

Rect hallOfFameNote(const Form& form, std::size_t line) {
    const Control& frame = form.fraScores();
    return {frame.Left + kMargin, frame.Top + kNotesTop + kNoteHeight * static_cast<double>(line),
            frame.Width - 2 * kMargin, kNoteHeight};
}

namespace {
// Left and top edges inside, right and bottom ones outside, so that two
// parts side by side never both take a point.
bool contains(const Rect& r, double x, double y) {
    return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
}
} // namespace

HallOfFameSpot hallOfFameSpotAt(const Form& form, std::size_t rows, bool nameShown, double x,
                                double y) {
    using Part = HallOfFameSpot::Part;
    if (contains(hallOfFameButton(form), x, y)) {
        return {Part::NewGame, 0};
    }
    if (nameShown && contains(hallOfFameNameField(form), x, y)) {
        return {Part::NameField, 0};
    }
    for (std::size_t row = 0; row < rows; ++row) {
        if (contains(hallOfFameRow(form, row), x, y)) {
            return {Part::Row, row};
        }
    }
    return {};
}

void addHallOfFame(Scene& scene, const Form& form, const HallOfFameView& view) {
    uint32_t key = kFirstKey;
    const auto add = [&](ItemKind kind, const Rect& r) -> Item& {
        Item& item = scene.emplace_back();
        item.kind = kind;
        item.key = key++;
        item.rect = r;
        return item;
    };
    const Control& frame = form.fraScores();
    add(ItemKind::Fill, {frame.Left, frame.Top, frame.Width, frame.Height}).colour = kBlack;
    Item& title = add(ItemKind::Text, inFrame(frame, form.lblScoreTitle()));
    title.text = form.lblScoreTitle().Caption;
    title.style = labelStyle(ControlId::lblScoreTitle);

    TextStyle rowStyle;
    rowStyle.family = FontFamily::Verdana;
    rowStyle.pixelSize = 11;
    rowStyle.colour = kWhite;
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        Item& row = add(ItemKind::Text, hallOfFameRow(form, i));
        row.text = view.rows[i];
        row.style = rowStyle;
        if (view.highlighted == i) {
            row.background = kHighlight;
        }
    }
    if (view.nameShown || view.editing) {
        const Rect at = hallOfFameNameField(form);
        Item& label = add(ItemKind::Text, {frame.Left + kMargin, at.top + 3, 90, 20});
        label.text = view.nameLabel;
        label.style = rowStyle;
        Item& field = add(ItemKind::Text, at);
        field.text = view.editing ? withCaret(view.name, view.caret) : view.name;
        field.style = rowStyle;
        field.style.colour = kBlack;
        field.style.middle = true;
        field.background = kWhite;
    }
    TextStyle noteStyle = rowStyle;
    noteStyle.colour = kGrey;
    for (std::size_t i = 0; i < view.notes.size(); ++i) {
        Item& note = add(ItemKind::Text, hallOfFameNote(form, i));
        note.text = view.notes[i];
        note.style = noteStyle;
    }
    const Rect button = hallOfFameButton(form);
    add(ItemKind::Fill, button).colour = kOrange;
    Item& caption = add(ItemKind::Text, button);
    caption.text = form.cmdNewGame().Caption;
    caption.style = labelStyle(ControlId::cmdNewGame);
}

} // namespace kestrada::scene
