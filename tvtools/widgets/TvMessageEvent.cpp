#include "TvMessageEvent.h"

#include <QCoreApplication>

CTvMessageEvent::CTvMessageEvent(unsigned message, std::uintptr_t first, std::intptr_t second,
                                 std::string text)
    : QEvent(EventType()), m_message(message), m_first(first), m_second(second),
      m_text(std::move(text))
{
}

QEvent::Type CTvMessageEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void TvPostMessage(QObject* receiver, unsigned message, std::uintptr_t first, std::intptr_t second,
                   std::string text)
{
    QCoreApplication::postEvent(receiver,
                                new CTvMessageEvent(message, first, second, std::move(text)));
}

bool TvSendMessage(QObject* receiver, unsigned message, std::uintptr_t first, std::intptr_t second,
                   std::string text)
{
    CTvMessageEvent event(message, first, second, std::move(text));
    return QCoreApplication::sendEvent(receiver, &event);
}
