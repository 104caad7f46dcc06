// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_texts.h"

namespace kestrada {

std::string helpInstructions() {
    const std::string story =
        "You are an agent with no name, behind the wheel of a car nobody would look at twice, on "
        "the dangerous roads of somewhere in Eastern Europe.  Craters are everywhere, civilians "
        "drive their cars and motorcycles with no regard for anyone, and the road hogs are "
        "vicious.  Keeping your car in one piece and on the road is hard work, so stay alert.";
    const std::string scoring =
        "You earn points simply by travelling, and the faster you go the more you earn.  You also "
        "earn points for every civilian or enemy vehicle you destroy, with your weapons or by "
        "forcing it off the road, and forcing them off the road is the best way to build a "
        "score.";
    const std::string controls =
        "The Up arrow accelerates, Left and Right steer and Down brakes; your speed is shown on "
        "the speedometer.  You carry two unlimited weapons, missiles and mines, each useful in "
        "its own way: select them with \"1\" and \"2\" and fire with the Space bar.  ENTER starts "
        "a new game; ESC pauses.";
    const std::string controller =
        "A game controller plays too: the d-pad or stick steers, the triggers speed up and "
        "brake, A fires, X and Y choose the weapon and START pauses.";
    return story + "\r\n\r\n" + scoring + "\r\n\r\n" + controls + "\r\n\r\n" + controller;
}

std::string aboutText() {
    return "Kestrada\r\n"
           "Written in the spring of 1999 by two friends.\r\n"
           "Extended in the autumn of 2011 with weapons,\r\n"
           "a road median and one more vehicle.\r\n"
           "Early 2012 brought better performance and timing,\r\n"
           "sharper pictures and a fairer score.";
}

} // namespace kestrada
