#pragma once

#include <string>
#include <vector>

// The text of a kdbParams payload: every entry followed by CR LF.
std::string ParamsToText(const std::vector<std::string> &params);

// The parameter list read from a kdbParams payload: lines end at CR, LF or CR LF, a last
// line without a line end still counts, and a zero byte ends the list.
std::vector<std::string> ParamsFromText(const std::string &text);
