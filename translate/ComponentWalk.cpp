#include "ComponentWalk.h"

#include "Lexaro2000.h"

#include "platform/Collection.h"
#include "platform/Cp1252.h"
#include "suite/DTLabel.h"
#include "suite/ScaleProps.h"

#include <QStringList>

namespace {

// Property sets are reached through the properties that hold them, never as owned
// components, even when they are Qt children of the component that holds them.
bool isPropertySet(const QObject *object)
{
    return qobject_cast<const platform::Collection *>(object) != nullptr ||
           qobject_cast<const TScaleProps *>(object) != nullptr ||
           qobject_cast<const TDTLabel *>(object) != nullptr;
}

QObject *heldObject(const QVariant &value)
{
    if (!value.metaType().flags().testFlag(QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject *const *>(value.constData());
}

} // namespace

TComponentWalk::TComponentWalk(TLexaro2000 &engine)
    : m_engine(engine), m_prefix(platform::fromCp1252(engine.Prefix()))
{}

void TComponentWalk::Component(QObject *component)
{
    if (component == nullptr)
        return;
    Object(component);
    // A copy: a setter that runs during the walk may add or remove children.
    const QObjectList children = component->children();
    for (QObject *child : children) {
        if (!isPropertySet(child))
            Component(child);
    }
}

void TComponentWalk::Object(QObject *instance)
{
    if (instance == nullptr || m_visited.contains(instance))
        return;
    m_visited.insert(instance);
    bool doTranslate = true;
    if (m_engine.OnTranslateObject())
        m_engine.OnTranslateObject()(m_engine, instance, doTranslate);
    if (!doTranslate)
        return;
    const QMetaObject *meta = instance->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        property(instance, meta->property(i));
}

void TComponentWalk::property(QObject *instance, const QMetaProperty &property)
{
    if (!property.isReadable())
        return;
    const QMetaType type = property.metaType();
    if (type.id() == QMetaType::QString)
        stringProperty(instance, property);
    else if (type.id() == QMetaType::QStringList)
        stringListProperty(instance, property);
    else if (type.flags().testFlag(QMetaType::PointerToQObject))
        referenceProperty(instance, property);
}

void TComponentWalk::stringProperty(QObject *instance, const QMetaProperty &property)
{
    if (!property.isWritable() || qstrcmp(property.name(), "objectName") == 0)
        return;
    QString text = property.read(instance).toString();
    if (translateText(text))
        property.write(instance, text);
}

void TComponentWalk::stringListProperty(QObject *instance, const QMetaProperty &property)
{
    if (!property.isWritable())
        return;
    QStringList lines = property.read(instance).toStringList();
    bool changed = false;
    for (qsizetype i = lines.size() - 1; i >= 0; --i)
        changed = translateText(lines[i]) || changed;
    if (changed)
        property.write(instance, lines);
}

void TComponentWalk::referenceProperty(QObject *instance, const QMetaProperty &property)
{
    QObject *held = heldObject(property.read(instance));
    if (held == nullptr)
        return;
    if (auto *collection = qobject_cast<platform::Collection *>(held)) {
        for (int i = 0; i < collection->Count(); ++i)
            Object(collection->Items(i));
    } else if (auto *scale = qobject_cast<TScaleProps *>(held)) {
        Object(scale);
    }
}

// A marked text becomes the translation of what follows the prefix, found or not.
bool TComponentWalk::translateText(QString &text)
{
    if (!text.startsWith(m_prefix))
        return false;
    const std::string bytes = platform::toCp1252(text);
    std::string value;
    m_engine.Translate(bytes.substr(m_engine.Prefix().size()), {}, value);
    text = platform::fromCp1252(value);
    return true;
}
