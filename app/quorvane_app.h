#pragma once
// The application: runs the main window as a modal dialog; the program ends
// when it closes.

class CQuorvaneApp {
  public:
    /// Shows the main window until it is closed. Returns false, so that the
    /// program ends instead of entering a message loop of its own.
    bool InitInstance();
};

/// True when a window system can be reached (a display, or a platform plugin
/// that needs none, such as offscreen).
bool WindowSystemAvailable();
