#include "tests/support/SampleGame.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdio>

#include "GbkTexts.h"
#include "tests/support/LaunchRecord.h"

std::string toGbk(const std::wstring& wide) {
  int length = WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                   nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
  WideCharToMultiByte(936, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), length,
                      nullptr, nullptr);
  return bytes;
}

std::wstring fromGbk(const std::string& bytes) {
  int length =
      MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), length);
  return wide;
}

const char kSampleConfig[] = "[Screen]\r\nWidth 640\r\nHeight 480\r\nBits 32\r\n";

std::string patchedConfig(int width, int height) {
  return "[Screen]\r\nWidth " + std::to_string(width) + "\r\nHeight " + std::to_string(height) +
         "\r\nBits 32\r\n";
}

std::string missionFileName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "sn%02d_.pst", number);
  return name;
}

std::string missionPath(int number) { return "Level\\" + missionFileName(number); }

std::string sampleMission(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%02d", number);
  return toGbk(L"// 任务 ") + name + toGbk(L"：山谷伏击\r\n") +
         "int PlayerWeapon1 = 3;\r\n"
         "int PlayerWeapon2 = 1; // " +
         toGbk(L"初始副武器") + "\r\nint EnemyCount = 12;\r\n";
}

std::string originalsRecordName() { return toGbk(L"原版副武器.txt"); }

namespace {

// CRC-32 (reflected, polynomial 0xEDB88320) through a table made at first use.
uint32_t crc32Of(const std::string& bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) crc = table[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::string checked(const std::string& fields) {
  char check[16];
  std::snprintf(check, sizeof check, "\t~%08x\r\n", static_cast<unsigned>(crc32Of(fields)));
  return fields + check;
}

}  // namespace

std::string originalsRecord(const std::vector<RecordLine>& entries) {
  return gbk::originalWeaponsComment + std::string("\r\n") + addedRecordLines(entries, 1);
}

std::string addedRecordLines(const std::vector<RecordLine>& entries, int first) {
  std::string record;
  int number = first - 1;
  for (const RecordLine& entry : entries) {
    std::string fields = missionFileName(entry.number) + "\t" + std::to_string(++number) + "\t" +
                         (entry.written ? "written" : "original") + "\t";
    for (const char c : entry.line) {
      switch (c) {
        case '\\':
          fields += "\\\\";
          break;
        case '\r':
          fields += "\\r";
          break;
        case '\n':
          fields += "\\n";
          break;
        case '\t':
          fields += "\\t";
          break;
        case '\0':
          fields += "\\0";
          break;
        default:
          fields += c;
      }
    }
    record += checked(fields);
  }
  return record + checked("end\t" + std::to_string(number));
}

std::vector<RecordLine> firstApplyEntries(const std::vector<int>& missions, int weaponNumber) {
  std::vector<RecordLine> entries;
  for (const int n : missions) {
    entries.push_back({n, false, sampleWeaponLine()});
    entries.push_back({n, true, "int PlayerWeapon2 = " + std::to_string(weaponNumber) + ";"});
  }
  return entries;
}

std::string sampleWeaponLine() { return "int PlayerWeapon2 = 1; // " + toGbk(L"初始副武器"); }

std::string patchedMission(int number, int weaponNumber) {
  std::string text = sampleMission(number);
  std::string::size_type start = text.find("int PlayerWeapon2");
  std::string::size_type end = text.find("\r\n", start);
  text.replace(start, end - start, "int PlayerWeapon2 = " + std::to_string(weaponNumber) + ";");
  return text;
}

std::string profileText(int weapon, int attribute, int resolution, bool windowed) {
  std::wstring text = L"[我的设置]\r\n副武器选择=" + std::to_wstring(weapon) + L"\r\n副武器属性=" +
                      std::to_wstring(attribute) + L"\r\n分辨率选择=" +
                      std::to_wstring(resolution) + L"\r\n是否窗口化=" +
                      (windowed ? L"真" : L"假") + L"\r\n";
  return toGbk(text);
}

std::string launchRecord(const std::string& folder, bool windowed) {
  const std::string recorded = recordedPath(folder);
  return "cmdline=\"" + recorded + "\\Drovar.exe\"" + (windowed ? " w" : "") +
         "\r\ncwd=" + recorded + "\r\n";
}
