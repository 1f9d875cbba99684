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

// A mission file "Level\snNN_.pst" with GBK comments and the weapon line (weapon 1).
std::string sampleMission(int number);
// The same after the patch: the weapon line rewritten whole, every other byte kept.
std::string patchedMission(int number, int weaponNumber);

// The name of the record of the missions' original weapon lines in the game folder.
std::string originalsRecordName();
// That record as the program writes it: its comment line, then for each (mission number,
// original weapon line), in the order given, the mission's file name, a tab and the line,
// with a backslash, CR, LF and zero byte written as \\, \r, \n and \0.
std::string originalsRecord(const std::vector<std::pair<int, std::string>>& missions);
// The weapon line of sampleMission, as it is recorded.
std::string sampleWeaponLine();

// "wdpz.ini" as the program writes it.
std::string profileText(int weapon, int attribute, int resolution, bool windowed);

// The stand-in game's record of one start in `folder`, as the program must start it.
std::string launchRecord(const std::string& folder, bool windowed);
