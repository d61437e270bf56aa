// The splash screen shown while the control builds its scene. The window itself lives in the outside
// library "_3DVexlorForms.dll"; these wrappers call it. The splash is shown and closed once per load of
// this library: once CloseSplash has run, every wrapper does nothing.
#pragma once

#include <string>

void ShowSplash();
void CloseSplash();
void SplashSetText(const std::string& text);
void SplashSetState(const std::string& text);

// True once CloseSplash has run in this load of the library.
bool SplashClosed();
