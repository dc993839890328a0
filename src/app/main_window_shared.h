#pragma once
// What the main window's files share: texts for Qt, and window placement
// as the settings keep it.

#include <QString>
#include <QWidget>
#include <string>

#include "viewer/settings.h"

namespace varune::app {

inline QString Qs(const std::string& Text) { return QString::fromStdString(Text); }

// Wayland gives clients no say over, and no knowledge of, their position.
bool WindowPositionsWork();

// A window's placement as the settings keep it: its outer size with the
// file's fixed frame.
TFormPlacement OuterPlacement(const QWidget& Window);

// Puts `Window` where the settings say, or at `Default` when that placement
// is too small or off every screen; with `FitOnScreen` (the main window)
// then wholly on the nearest screen. Positions only where the window system
// takes them.
void RestorePlacement(QWidget& Window, const TFormPlacement& Saved, const TFormPlacement& Default, int32_t MinWidth,
                      int32_t MinHeight, bool FitOnScreen = false);

}  // namespace varune::app
