// How a drive's INQUIRY answer becomes its model name and type number: the
// registry override under HKEY_LOCAL_MACHINE (value "Device" of the key
// "SOFTWARE\Velbrook\DRIVER1\" plus the model name), else the model table.
// Each identified CD device is also written to devicelist_cdr.txt in the
// current folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

constexpr const char* kDriverOverrideKey = "SOFTWARE\\Velbrook\\DRIVER1\\";

// The model name: INQUIRY bytes 8 to 31 (up to a zero byte), trailing
// spaces removed.
std::string ModelNameOf(const uint8_t* inquiry);
// The override's "Device" value for a model name, when its key opens and
// the value can be read.
std::optional<std::string> ReadDriverOverride(const std::string& modelName);
// The type number of a model name: the override decides when it is there
// (999 when it names no driver), else the model table.
uint16_t TypeOfModel(const std::string& modelName);
// Rewrites devicelist_cdr.txt with the text and a line feed; a file that
// cannot be written is passed over.
void WriteDeviceList(const std::string& text);
