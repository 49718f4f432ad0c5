#pragma once

#include "platform/Collection.h"
#include "suite/ScaleProps.h"

#include <QByteArray>
#include <QStringList>
#include <QWidget>

// Classes the translation engine has never heard of: whatever it translates here it reaches
// through the meta-object system alone.
class TFixtureItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE setTitle)
    Q_PROPERTY(QStringList Notes READ Notes WRITE setNotes)
    Q_PROPERTY(platform::Collection *Siblings READ Siblings)

public:
    explicit TFixtureItem(QObject *parent = nullptr) : QObject(parent) {}
    QString Title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QStringList Notes() const { return m_notes; }
    void setNotes(const QStringList &notes) { m_notes = notes; }
    // Refers back to the collection that holds the item.
    platform::Collection *Siblings() const
    {
        return qobject_cast<platform::Collection *>(parent());
    }

private:
    QString m_title;
    QStringList m_notes;
};

class TFixtureWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QString Status READ Status)
    Q_PROPERTY(QStringList Lines READ Lines WRITE setLines)
    Q_PROPERTY(platform::Collection *Items READ Items)
    Q_PROPERTY(TScaleProps *Scale READ Scale)
    Q_PROPERTY(QByteArray WideText READ WideText WRITE setWideText)
    Q_PROPERTY(QObject *Buddy READ Buddy WRITE setBuddy)
    Q_PROPERTY(int Count READ Count WRITE setCount)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)

public:
    explicit TFixtureWindow(QWidget *parent = nullptr)
        : QWidget(parent), m_items(new platform::Collection(this)), m_scale(new TScaleProps(this))
    {}

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption)
    {
        m_caption = caption;
        ++captionWrites;
    }
    QString Status() const { return QStringLiteral("LX_Status"); }
    QStringList Lines() const { return m_lines; }
    void setLines(const QStringList &lines)
    {
        m_lines = lines;
        ++linesWrites;
    }
    platform::Collection *Items() const { return m_items; }
    TScaleProps *Scale() const { return m_scale; }
    QByteArray WideText() const { return m_wideText; }
    void setWideText(const QByteArray &text) { m_wideText = text; }
    QObject *Buddy() const { return m_buddy; }
    void setBuddy(QObject *buddy) { m_buddy = buddy; }
    int Count() const { return m_count; }
    void setCount(int count) { m_count = count; }
    QString Hint() const { return m_hint; }
    void setHint(const QString &hint) { m_hint = hint; }

    int captionWrites = 0;
    int linesWrites = 0;

private:
    QString m_caption;
    QStringList m_lines;
    platform::Collection *m_items;
    TScaleProps *m_scale;
    QByteArray m_wideText;
    QObject *m_buddy = nullptr; // not owned: a referenced component
    int m_count = 0;
    QString m_hint;
};
