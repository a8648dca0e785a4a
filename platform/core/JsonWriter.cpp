#include "platform/core/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace core {

void JsonWriter::add(const std::string& key, Value value)
{
    if (m_objects.empty())
        beginObject();
    m_objects.back().emplace_back(key, std::move(value));
}

std::string JsonWriter::text() const
{
    QJsonArray all;
    for (const auto& fields : m_objects) {
        QJsonObject object;
        for (const auto& [key, value] : fields) {
            QString name = QString::fromStdString(key);
            if (const auto* number = std::get_if<std::int64_t>(&value))
                object.insert(name, qint64(*number));
            else
                object.insert(name, QString::fromStdString(std::get<std::string>(value)));
        }
        all.append(object);
    }
    QByteArray text = QJsonDocument(all).toJson(QJsonDocument::Indented);
    if (text.endsWith('\n'))
        text.chop(1);
    return text.toStdString();
}

} // namespace core
