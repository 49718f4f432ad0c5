#pragma once

#include <QTest>
#include <string>
#include <vector>

// Lets QCOMPARE print the byte strings and lists of the host link when they differ.
namespace QTest {
template <> inline char *toString(const std::string &text)
{
    return QTest::toString(QByteArray::fromStdString(text));
}
template <> inline char *toString(const std::vector<std::string> &list)
{
    QByteArray text = "{";
    for (size_t i = 0; i < list.size(); ++i)
        text += (i == 0 ? "\"" : ", \"") + QByteArray::fromStdString(list[i]) + "\"";
    return qstrdup(text + "}");
}
} // namespace QTest
