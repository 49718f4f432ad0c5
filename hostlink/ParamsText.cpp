#include "ParamsText.h"

std::string ParamsToText(const std::vector<std::string> &params)
{
    std::string text;
    for (const std::string &entry : params)
        text += entry + "\r\n";
    return text;
}

std::vector<std::string> ParamsFromText(const std::string &text)
{
    std::vector<std::string> lines;
    const size_t end = std::min(text.find('\0'), text.size());
    size_t start = 0;
    while (start < end) {
        size_t stop = start;
        while (stop < end && text[stop] != '\r' && text[stop] != '\n')
            ++stop;
        lines.push_back(text.substr(start, stop - start));
        if (stop < end && text[stop] == '\r')
            ++stop;
        if (stop < end && text[stop] == '\n')
            ++stop;
        start = stop;
    }
    return lines;
}
