// target_check.h - the guard every use of a profile Target passes before a
// folder is created or removed: a Target names a folder in the volume root
// and nothing else.
#pragma once

// True for a plain folder name; otherwise traces the refusal and returns
// false, and the record counts as unusable.
bool IsUsableTarget(const char *target);
