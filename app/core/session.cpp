#include "session.h"

Session::Session(IDeviceLinkFactory *deviceLinks, MessageService *messages)
    : messages(messages),
      catalogue(messages),
      devLink(deviceLinks),
      rs232(devLink, messages),
      link(*this),
      system(catalogue),
      IsConnectObj(link.state()),
      ProgressPercent(link.progressPercent()),
      StatusText(link.statusText()),
      draw(*this),
      e2Image(*this),
      file(*this)
{
}
