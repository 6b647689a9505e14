// Replay journals: a recorder wrapped around the source in use, and a source that answers from a journal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a journal holds besides its records.
struct SysJournalHeader {
    std::string version;  // the program's that recorded it
    std::string gameLine; // the game's own switches (depth, lighting)
    bool iniPresent = false, scoresPresent = false;
    std::string ini, scores; // "kordax.ini" and "kx_scores.dat" as they were at start
};

// Starts journaling every answer the source gives from now on into path; the player's files are
// read now for the header. False with a message when the file cannot be written.
bool Sys_StartRecording(const std::string &path, const std::string &gameLine, std::string &error);
// Checks the whole journal, then makes it the source: the player's files are served from it and
// never written, and gameLine becomes the recorded one. paced: keep to the recorded clock (a
// window). False with one line saying why the file is refused.
bool Sys_StartPlayback(const std::string &path, bool paced, std::string &gameLine, std::string &error);
// After the game: a recording stores the final scores and is closed; a playback checks them and
// prints its verdict. Returns the exit code (result, unless a playback failed).
int Sys_FinishJournal(int result, int scoreP1, int scoreP2);
// Reads and checks a journal held in memory: its header, every record, the end. name is for error.
// A journal whose data runs out before its end (the recording was killed) is good up to its last
// complete record when that holds a frame; ended tells whether the end record was reached.
bool Sys_CheckJournal(const uint8_t *data, size_t size, const std::string &name, SysJournalHeader &header,
                      long &frames, std::string &error);
bool Sys_CheckJournal(const uint8_t *data, size_t size, const std::string &name, SysJournalHeader &header,
                      long &frames, bool &ended, std::string &error);
// Whether a journal file holds nothing to replay: empty, or of this format without a frame. A
// file of another kind or format, or damaged past its first frame, holds something.
bool Sys_JournalHoldsNothing(const uint8_t *data, size_t size);
// The installed game's own recordings: a new file name in folder, the oldest removed so that at
// most keep remain after it is written.
std::string Sys_NewReplayPath(const std::string &folder, int keep);
