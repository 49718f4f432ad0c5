#pragma once

#include "translate/Dictionary.h"

#include <QIODevice>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <string>
#include <vector>

// The translation engine: a dictionary read from a language file, key lookups with
// positional arguments, a language file of missing keys written at the end, and the walk that
// replaces every marked text of a window and of everything it owns.
//
// All texts inside are Windows-1252 bytes; the walk converts at the QString boundary.
class TLexaro2000
{
public:
    using TranslateCallback =
        std::function<void(TLexaro2000 &engine, const std::string &key, std::string &value)>;
    using TranslateObjectCallback =
        std::function<void(TLexaro2000 &engine, QObject *object, bool &doTranslate)>;
    using ErrorCallback = std::function<void(const QString &message)>;

    explicit TLexaro2000(std::string appName);
    ~TLexaro2000(); // writes the language file when AutoCreateItlFile; never throws

    TLexaro2000(const TLexaro2000 &) = delete;
    TLexaro2000 &operator=(const TLexaro2000 &) = delete;

    void LoadFromStream(QIODevice &stream); // stream stays the caller's
    void Translate(const std::string &key, const std::vector<std::string> &args,
                   std::string &value);
    void TranslateComponent(QObject *component);
    void TranslateObject(QObject *instance);

    bool AutoCreateItlFile() const { return m_autoCreateItlFile; }
    void setAutoCreateItlFile(bool on) { m_autoCreateItlFile = on; }
    const std::string &Prefix() const { return m_prefix; }
    const std::string &AppName() const { return m_appName; }
    const std::vector<std::string> &ItlLines() const { return m_itlLines; }
    // Copies of the loaded keys (lowercased and normalised) and values, in file order.
    std::vector<std::string> Keys() const;
    std::vector<std::string> Values() const;
    const TDictionary &Dictionary() const { return m_dictionary; }

    const TranslateCallback &OnTranslate() const { return m_onTranslate; }
    void setOnTranslate(TranslateCallback callback) { m_onTranslate = std::move(callback); }
    const TranslateObjectCallback &OnTranslateObject() const { return m_onTranslateObject; }
    void setOnTranslateObject(TranslateObjectCallback callback)
    {
        m_onTranslateObject = std::move(callback);
    }

    // Where a failure to write the language file is reported; by default the application's
    // message box (standard error without a GUI).
    void setOnWriteError(ErrorCallback callback) { m_onWriteError = std::move(callback); }

    // The relative name of the written language file: the executable's file name with the
    // extension ".itl", so it lands in the current directory.
    static QString ItlFileName();

private:
    void addRecord(std::string_view record);
    void recordMiss(const std::string &key);
    void writeItlFile();
    void reportWriteError(const QString &message) const noexcept;

    std::string m_appName;
    TranslateCallback m_onTranslate;
    TranslateObjectCallback m_onTranslateObject;
    ErrorCallback m_onWriteError;
    TDictionary m_dictionary;
    std::string m_key;   // reused while loading, so a record costs no allocation of its own
    std::string m_value; // likewise
    std::string m_prefix = "LX_";
    std::vector<std::string> m_itlLines;
    QSet<QString> m_foldedMisses; // case-folded lines already in m_itlLines
    bool m_autoCreateItlFile = false;
};
