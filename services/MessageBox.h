// Message boxes. Texts are GBK; they are shown through the wide calls after conversion
// from code page 936, so they read right whatever the system code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "services/Text.h"

// The style passed to the platform: buttons plus MB_TASKMODAL unless MB_SYSTEMMODAL is set.
uint32_t messageBoxStyle(int32_t buttons);
// The platform's result (IDOK..IDNO) as 0..6; anything else, failure included, as 0.
int32_t messageBoxResult(int platformResult);

// Shows the box (caption "信息：" when absent) and returns the pressed button as above.
int32_t messageBox(const Text& message, int32_t buttons,
                   const std::optional<Text>& caption = std::nullopt);
// The same for a message already in UTF-16: one that names paths, which are shown as they
// are, with only the program's own texts converted from GBK.
int32_t messageBox(const std::wstring& message, int32_t buttons);
