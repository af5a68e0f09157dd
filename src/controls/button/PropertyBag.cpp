#include "controls/button/PropertyBag.h"

PropertyBag::PropertyBag(std::initializer_list<std::pair<QString, QVariant>> values)
{
    for (const auto &[name, value] : values)
        WriteProperty(name, value);
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const
{
    const qsizetype i = indexOf(name);
    return i >= 0 ? m_values.at(i).second : defaultValue;
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue)
{
    const qsizetype i = indexOf(name);
    if (defaultValue.isValid() && value == defaultValue) {
        if (i >= 0)
            m_values.removeAt(i);
    } else if (i >= 0) {
        m_values[i] = {name, value};
    } else {
        m_values.append({name, value});
    }
}

QStringList PropertyBag::keys() const
{
    QStringList names;
    for (const auto &entry : m_values)
        names.append(entry.first);
    return names;
}

qsizetype PropertyBag::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (m_values.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
