#pragma once

#include <QEvent>

#include <cstdint>
#include <string>

class QObject;

// Window messages between the controls of a window: a message number (user-message
// base 1024 + n) and two parameters, delivered as an event of its own type. Posting
// queues the event to the receiver's thread; sending delivers it at once. A text that
// a message carries (a command link's address, say) is owned by the event, so a
// receiver that ignores the message leaks nothing.
class CTvMessageEvent : public QEvent
{
public:
    CTvMessageEvent(unsigned message, std::uintptr_t first, std::intptr_t second,
                    std::string text = {});

    static QEvent::Type EventType();

    unsigned Message() const { return m_message; }
    std::uintptr_t First() const { return m_first; }
    std::intptr_t Second() const { return m_second; }
    const std::string& Text() const { return m_text; }

private:
    unsigned m_message;
    std::uintptr_t m_first;
    std::intptr_t m_second;
    std::string m_text;
};

namespace tvmsg {

inline constexpr unsigned kUserBase = 1024;
// To a page frame: back to the first page.
inline constexpr unsigned kFirstPage = kUserBase + 1;
// To a page frame: (mode, dialog id) and (mode, window id), see CTvPropertiesPages.
inline constexpr unsigned kGoToDialogPage = kUserBase + 4;
inline constexpr unsigned kGoToWindowPage = kUserBase + 5;
// From an HTML view to its parent: a command link was clicked (the text is its whole
// address), and a document finished loading.
inline constexpr unsigned kHtmlCommand = kUserBase + 121;          // 1145
inline constexpr unsigned kHtmlDocumentComplete = kUserBase + 122; // 1146

} // namespace tvmsg

// Queues the message to `receiver`'s thread; safe from any thread.
void TvPostMessage(QObject* receiver, unsigned message, std::uintptr_t first = 0,
                   std::intptr_t second = 0, std::string text = {});
// Delivers the message at once, on the calling thread (the receiver's own); returns
// whether the receiver handled it.
bool TvSendMessage(QObject* receiver, unsigned message, std::uintptr_t first = 0,
                   std::intptr_t second = 0, std::string text = {});
