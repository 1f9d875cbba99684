// The sample game files the Windows tests start from, and what an apply makes of them:
// GBK bytes, exactly as the program must read and write them.
#pragma once

#include <string>
#include <utility>
#include <vector>

// GBK bytes of a wide text, and the wide text of GBK bytes (code page 936 whatever the
// system code page is).
std::string toGbk(const std::wstring& wide);
std::wstring fromGbk(const std::string& bytes);

// "config.ini": 640 by 480, four lines.
extern const char kSampleConfig[];
// The sample config.ini after the display patch: width and height on lines 2 and 3.
std::string patchedConfig(int width, int height);

// The name of mission `number`'s file ("sn07_.pst"), and its path in a game folder
// ("Level\sn07_.pst").
std::string missionFileName(int number);
std::string missionPath(int number);

// A mission file "Level\snNN_.pst" with GBK comments and the weapon line (weapon 1).
std::string sampleMission(int number);
// The same after the patch: the weapon line rewritten whole, every other byte kept.
std::string patchedMission(int number, int weaponNumber);

// The name of the record of the missions' original weapon lines in the game folder.
std::string originalsRecordName();
// One entry of the record: the mission, and the line found there as its original or written
// there by the launcher.
struct RecordLine {
  int number;
  bool written;
  std::string line;
};
// The record as the program writes it anew: its comment line, then each entry in the order
// given, numbered from 1: the mission's file name, a tab, the number, a tab, "original" or
// "written", a tab, the line (a backslash, CR, LF, tab and zero byte written as \\, \r,
// \n, \t and \0), a tab and "~" with the line's CRC-32 in 8 lower-case hexadecimal digits;
// last "end", a tab, the last number, a tab and its check. Worked out here with a CRC-32 of
// its own, not the program's.
std::string originalsRecord(const std::vector<RecordLine>& entries);
// The entries numbered from `first` and the "end" line after them, as the program adds them to
// a record it keeps byte for byte.
std::string addedRecordLines(const std::vector<RecordLine>& entries, int first);
// The entries of a first apply of `weaponNumber` over the sample missions given: each one's
// original, then the line written.
std::vector<RecordLine> firstApplyEntries(const std::vector<int>& missions, int weaponNumber);
// The weapon line of sampleMission, as it is recorded.
std::string sampleWeaponLine();

// "wdpz.ini" as the program writes it.
std::string profileText(int weapon, int attribute, int resolution, bool windowed);

// The stand-in game's record of one start in `folder`, as the program must start it.
std::string launchRecord(const std::string& folder, bool windowed);
