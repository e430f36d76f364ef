// The sample's second window: a three-level outline in a tree browse.
#pragma once

// Opens the window, or brings it to the front when it is open.
void OpenTreeWindow();
