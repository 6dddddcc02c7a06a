#include "session.h"

#include "messageservice.h"

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
      unitWords(link.state()),
      history(*this)
{
}

bool Session::refusedWithoutList()
{
    const QString refusal = catalogue.refusalText();
    if (refusal.isEmpty())
        return false;
    if (messages)
        messages->show(refusal, MessageService::Buttons::Ok, MessageService::Icon::Critical);
    return true;
}
