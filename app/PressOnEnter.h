#pragma once

class QPushButton;

// Enter (either Return or the keypad's Enter) on the focused button presses it, as Space does,
// without making it a default button that answers Enter from elsewhere in its window.
void PressOnEnter(QPushButton* button);
