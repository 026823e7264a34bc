// The application object: runs the main dialog with the real services, and holds app-wide state.
#pragma once

class CSplitApp
{
public:
    // Builds the services, runs the main dialog modally and returns when it ends; the program
    // then ends. Needs the QApplication and the organization name set.
    int run();

    // True while the left mouse button holds the position slider.
    bool sliderHeld() const { return m_sliderHeld; }
    void setSliderHeld(bool held) { m_sliderHeld = held; }

private:
    bool m_sliderHeld = false;
};
