#pragma once

#include <QObject>
#include <vector>

namespace platform {

// A collection property: an ordered list of item objects that the collection owns. Items are
// its Qt children; the list keeps their order, and an item that is deleted or given another
// parent leaves it.
class Collection : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    explicit Collection(QObject *parent = nullptr);
    ~Collection() override;

    int Count() const { return static_cast<int>(m_items.size()); }
    QObject *Items(int index) const;

    // Appends `item` and takes it over; returns it for convenience.
    QObject *Add(QObject *item);
    template <typename Item> Item *Add() { return static_cast<Item *>(Add(new Item(this))); }
    void Delete(int index);
    void Clear();

protected:
    void childEvent(QChildEvent *event) override;

private:
    void forget(QObject *item);

    std::vector<QObject *> m_items;
};

} // namespace platform
