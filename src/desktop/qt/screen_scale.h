#pragma once
// The screen's scale factor: screen pixels per logical inch divided by 96.
//
// The program scales its window itself, from logical units to screen pixels
// rounded half to even. Qt's own high-dpi scaling is therefore switched off
// (unless the user asks for it), so that a logical inch is the screen's and
// a widget unit is a screen pixel; should Qt scale all the same, its device
// pixel ratio is counted in, so that nothing is scaled twice.
class QScreen;

namespace vennik {

// Before the QApplication is made.
void leaveScalingToTheProgram();

double scaleFactorOf(const QScreen* screen);

}  // namespace vennik
