// Screenshots on F12: the game's own frame saved as a PNG, and a short notice over the presented picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Set once at start: whether the game wants this key now (a player's key, or the key being chosen).
// F12 takes screenshots only while it does not.
void Sys_SetKeyTaken(bool (*taken)(int vk));
// A key from the desktop or a script; true when it was the screenshot key, which the game then never sees.
// scripted: a script's key (or a journal's, in a replay), which takes no shot while replaying.
bool Sys_ScreenshotKey(int vk, bool down, bool repeat, bool scripted = false);
// Set while a journal plays back: the recorded run's own shots are not taken again; the watcher's
// live F12 still takes one.
void Sys_ScreenshotReplaying(bool on);
// Saves the frame on show: the picture is taken now and compressed and written by a worker
// thread, so no frame waits for it. The path it goes to, or empty (the failure logged; a shot
// pressed while several are still being written is dropped). Play goes on either way.
std::string Sys_TakeScreenshot();
// Reports the shots written since the last call (the log line, the notice); with wait, first
// waits until every shot taken is written (at exit).
void Sys_ScreenshotsDone(bool wait);
// Where shots go: kordax/ in the pictures folder when installed, screenshots/ in the working folder in place.
std::string Sys_ScreenshotFolder();
// XDG_PICTURES_DIR from the text of a user-dirs.dirs file, $HOME expanded; empty when it has none.
std::string Sys_PicturesFromUserDirs(const std::string &text, const std::string &home);
// The notice that a shot was saved, while it lasts: pale text on a dark, framed band as A,R,G,B
// words (w x h, one for each font pixel), its opacity 0 to 255 and a number that changes with each
// new notice; false once it has gone.
bool Sys_ScreenshotNotice(const std::vector<uint32_t> *&argb, int &w, int &h, int &alpha, unsigned &serial);
