#include "launcher/MissionContent.h"

#include "GbkTexts.h"

int32_t weaponNumber(int32_t weaponValue, int32_t attributeValue) {
  const double a = weaponValue;
  const double b = attributeValue;
  if (weaponValue <= 9) return toInteger(a + 9.0 * toInteger(b - 1.0));
  return toInteger((a + b) - 1.0);
}

Text weaponLine(int32_t weaponNumber) {
  return concat(gbk::weaponLinePrefix, " = ", toText(weaponNumber), ";");
}

Text missionFileName(int32_t n) {
  Text number = toText(n);
  if (textLength(number) == 1) number = concat("0", number);
  return concat(gbk::missionFilePrefix, number, gbk::missionFileSuffix);
}
