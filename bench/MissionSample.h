// A mission file of a given size for the benchmarks: script lines with GBK comments, the
// weapon line last, so a rewrite has to walk the whole content before it finds it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "GbkTexts.h"

inline std::string missionSample(size_t size) {
  std::string content;
  content.reserve(size + 64);
  char line[96];
  for (unsigned n = 0; content.size() + 64 < size; ++n) {
    switch (n % 4) {
      case 0:
        std::snprintf(line, sizeof line, "int Enemy%06u_Life = %u;\r\n", n, n % 977);
        break;
      case 1:
        std::snprintf(line, sizeof line, "// %s %s %u\r\n", gbk::keyWeapon,
                      gbk::missionFolderMissing, n);
        break;
      case 2:
        std::snprintf(line, sizeof line, "SetEnemyPos(Enemy%06u, %u, %u);\r\n", n, n % 640,
                      n % 480);
        break;
      default:
        std::snprintf(line, sizeof line, "\tif (Enemy%06u_Life <= 0) Score += %u;\r\n", n, n % 50);
        break;
    }
    content += line;
  }
  content += "int PlayerWeapon2 = 1;\r\n";
  content.append(size > content.size() ? size - content.size() : 0, ' ');
  return content;
}
