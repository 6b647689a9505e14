// Screenshots on F12: the game's own frame saved as a PNG, and a short notice over the presented picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Set once at start: whether the game wants this key now (a player's key, or the key being chosen).
// F12 takes screenshots only while it does not.
void Sys_SetKeyTaken(bool (*taken)(int vk));
// A key from the desktop or a script; true when it was the screenshot key, which the game then never sees.
bool Sys_ScreenshotKey(int vk, bool down, bool repeat);
// Saves the frame on show; the path written, or empty (the failure logged). Play goes on either way.
std::string Sys_TakeScreenshot();
// Where shots go: kordax/ in the pictures folder when installed, screenshots/ in the working folder in place.
std::string Sys_ScreenshotFolder();
// XDG_PICTURES_DIR from the text of a user-dirs.dirs file, $HOME expanded; empty when it has none.
std::string Sys_PicturesFromUserDirs(const std::string &text, const std::string &home);
// The notice that a shot was saved, while it lasts: pale text on a dark, framed band as A,R,G,B
// words (w x h, one for each font pixel), its opacity 0 to 255 and a number that changes with each
// new notice; false once it has gone.
bool Sys_ScreenshotNotice(const std::vector<uint32_t> *&argb, int &w, int &h, int &alpha, unsigned &serial);
