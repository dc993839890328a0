#pragma once
// varune-wardrobe's run: finds the game client, writes its folder back to
// the settings, creates the main window and runs until it is closed.

#include <functional>

namespace varune::app {

// The program's exit code. `OnFirstPaint`, when given, is called once the
// character view is first painted: where the start-up benchmark stops its
// clock.
int RunProgram(int argc, char** argv, const std::function<void()>& OnFirstPaint = {});

}  // namespace varune::app
