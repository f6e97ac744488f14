#pragma once
// Message boxes shown by a program of their own, `tolvan-box`, found beside the running one.
//
// SDL draws its X11 box in a forked copy of the caller. A forked copy of a process with
// threads inherits every lock as it stood at the fork, and can hang on one that another
// thread held then (the sanitizers' allocator does, in the box's first malloc). A freshly
// started program holds no such lock.
namespace gui {

inline constexpr const char* box_program = "tolvan-box";

// Shows the box and returns once it is confirmed; false when the helper is not there, did
// not start or could not show it (the caller then shows the box itself).
bool show_box_in_own_process(const char* text, const char* caption);

}  // namespace gui
