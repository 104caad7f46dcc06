// SPDX-License-Identifier: GPL-3.0-or-later
// How long the window takes to paint its whole play field for a busy game,
// into a premultiplied image at device pixel ratio 1 and 2, and zoomed 2
// and 3 times, with the window's own frame painter and pictures; and what
// rendering those pictures costs, which the window pays before its first
// frame.
#include "busy_game.h"
#include "desktop/frame_painter.h"
#include "desktop/play_field.h"
#include "desktop/sprite_pictures.h"
#include "scene/compose.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using kestrada::Form;
using kestrada::bench::BusyGame;
using kestrada::desktop::PlayField;
using kestrada::desktop::SpritePictures;
using kestrada::scene::ExplosionEffect;

const QString kPictureDir = QStringLiteral(KESTRADA_PICTURE_DIR);

struct Frame {
    Form form;
    ExplosionEffect explosion;
};

// One second of play from the busy state, frame by frame as the window
// sees it, so the measure covers fractional positions and the sprites
// coming and going rather than one lucky frame.
const std::vector<Frame>& busyFrames() {
    static const std::vector<Frame> frames = [] {
        std::vector<Frame> result;
        Form& f = BusyGame::instance().game().form;
        f = BusyGame::instance().busyState();
        ExplosionEffect explosion(f.imgBoom());
        for (int i = 0; i < 25 && f.tmrMain.Enabled; ++i) {
            result.push_back({f, explosion});
            kestrada::bench::fireWhenReady(f);
            f.tmrMain_Timer();
            explosion.observe(f.imgBoom());
        }
        BusyGame::instance().game().soundLog.clear();
        return result;
    }();
    return frames;
}

int visibleControls(const Form& f) {
    int count = 0;
    for (std::size_t i = 0; i < kestrada::kControlCount; ++i) {
        count += f.control(static_cast<kestrada::ControlId>(i)).Visible ? 1 : 0;
    }
    return count;
}

// What PlayField::paintEvent does, the scene composed and painted, into an
// image instead of the window.
void paintBusyFrames(benchmark::State& state, qreal dpr, int zoom) {
    const std::vector<Frame>& frames = busyFrames();
    SpritePictures pictures(kPictureDir);
    pictures.prepare(dpr * zoom, kestrada::desktop::pictureUses(
                                     kestrada::scene::picturesUsedBy(frames.front().form)));
    const QSize size = QSize(PlayField::kWidth, PlayField::kHeight) * zoom;
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    std::size_t next = 0;
    for (auto _ : state) {
        const Frame& frame = frames[next];
        next = (next + 1) % frames.size();
        QPainter painter(&image);
        painter.scale(zoom, zoom);
        kestrada::desktop::paintScene(
            painter, kestrada::scene::composeScene(frame.form, frame.explosion), pictures);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    int bursts = 0;
    for (const Frame& frame : frames) {
        bursts += frame.explosion.active() ? 1 : 0;
    }
    state.counters["frames"] = static_cast<double>(frames.size());
    state.counters["frames_with_burst"] = bursts;
    state.counters["visible_controls"] = visibleControls(frames.front().form);
    state.counters["busy_traffic"] = kestrada::bench::traffic(frames.front().form);
    state.counters["busy_craters"] = frames.front().form.CratersInPlay;
    state.counters["megapixels"] = image.width() * image.height() / 1e6;
}

void BM_PaintBusyFrame(benchmark::State& state) {
    paintBusyFrames(state, static_cast<qreal>(state.range(0)), 1);
}
BENCHMARK(BM_PaintBusyFrame)->ArgName("dpr")->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The play area drawn larger with --zoom, at device pixel ratio 1.
void BM_PaintBusyFrameZoomed(benchmark::State& state) {
    paintBusyFrames(state, 1.0, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_PaintBusyFrameZoomed)->ArgName("zoom")->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// Reading the picture files and rasterising every picture a frame can draw.
void BM_LoadAndRenderPictures(benchmark::State& state) {
    const qreal dpr = static_cast<qreal>(state.range(0));
    const Form design;
    const auto uses = kestrada::desktop::pictureUses(kestrada::scene::picturesUsedBy(design));
    for (auto _ : state) {
        SpritePictures pictures(kPictureDir);
        pictures.prepare(dpr, uses);
        benchmark::DoNotOptimize(pictures.devicePixelRatio());
    }
    state.counters["pictures"] = static_cast<double>(uses.size());
}
BENCHMARK(BM_LoadAndRenderPictures)->ArgName("dpr")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Painting text needs a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    QGuiApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
