#include "session.h"

Session::Session(IDeviceLinkFactory *deviceLinks, MessageService *messages)
    : messages(messages),
      catalogue(messages),
      devLink(deviceLinks),
      rs232(devLink, messages),
      draw(*this),
      e2Image(*this),
      file(*this)
{
}
