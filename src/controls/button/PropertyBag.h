#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <utility>

// The stored properties of one control on a form: named values kept in the
// order they were written, with names matched without regard to case.
class PropertyBag
{
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<QString, QVariant>> values);

    // The stored value, or defaultValue when nothing is stored under name.
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue = {}) const;
    // Stores value under name, replacing any value stored under the same name
    // in another case. A value equal to a valid default is not stored, and
    // removes what was stored before.
    void WriteProperty(const QString &name, const QVariant &value,
                       const QVariant &defaultValue = {});

    bool contains(const QString &name) const { return indexOf(name) >= 0; }
    QStringList keys() const;
    bool isEmpty() const { return m_values.isEmpty(); }

private:
    qsizetype indexOf(const QString &name) const;

    QList<std::pair<QString, QVariant>> m_values;
};
