#include "unitwords.h"

#include "connectionstate.h"

UnitWords::UnitWords(ConnectionState &state)
{
    m_linkClosed = QObject::connect(&state, &ConnectionState::assigned, [this](int16_t value) {
        if (value == ConnectionState::NotConnected)
            forget();
    });
}

UnitWords::~UnitWords()
{
    QObject::disconnect(m_linkClosed);
}
