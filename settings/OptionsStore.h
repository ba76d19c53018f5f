#pragma once
// The options' registry store: HKEY_CURRENT_USER\Software\<company>\<program>.
#include <string>

#include "settings/OptionsRecord.h"

namespace kadrix {

// Reads the five values in order; a missing one gets its default (3, true, the
// all-users Pictures folder, true, true), which is not written back. A value of the
// wrong type or size throws, leaving the later fields as they were.
void LoadOptionsFromRegistry(OptionsRecord& options);

// Writes all five values; the first refused write throws and stops the rest.
void SaveOptionsToRegistry(const OptionsRecord& options);

// File-system path of a shell special folder (CSIDL), or empty when the shell has none.
std::wstring GetSpecialFolderPath(unsigned short folder);

}  // namespace kadrix
