#include "session.h"

Session::Session(IDeviceLinkFactory *deviceLinks, MessageService *messageService)
    : messages(messageService),
      catalogue(messageService),
      devLink(deviceLinks),
      rs232(devLink, messageService),
      link(*this),
      system(catalogue),
      IsConnectObj(link.state()),
      ProgressPercent(link.progressPercent()),
      StatusText(link.statusText()),
      draw(*this),
      e2Image(*this),
      file(*this),
      history(*this)
{
}
