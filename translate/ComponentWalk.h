#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QSet>
#include <QString>

class TLexaro2000;

// Replaces the marked texts of an object and of everything it owns, reaching the properties
// generically through the meta-object system: QString properties (never objectName),
// QStringList properties line by line from the last line, the items of a collection and a
// scale property set held in QObject* properties. Every other kind of property, and every
// other referenced object, is left alone. One walk handles each object once, so an item that
// refers back to its collection cannot send it round in circles.
class TComponentWalk
{
public:
    explicit TComponentWalk(TLexaro2000 &engine);

    // The object itself, then its children depth first, each before what it owns.
    void Component(QObject *component);
    void Object(QObject *instance);

private:
    void property(QObject *instance, const QMetaProperty &property);
    void stringProperty(QObject *instance, const QMetaProperty &property);
    void stringListProperty(QObject *instance, const QMetaProperty &property);
    void referenceProperty(QObject *instance, const QMetaProperty &property);
    bool translateText(QString &text);

    TLexaro2000 &m_engine;
    QString m_prefix;
    QSet<const QObject *> m_visited;
};
