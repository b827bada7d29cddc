#include "tests/support/Account.h"

#include "app/mdlSettings.h"

namespace testsupport {

void Account::apply() const
{
    mdlSettings::Originator = originator;
    mdlSettings::ServerURL = host;
    mdlSettings::ServerPort = port;
    mdlSettings::UserName = user;
    mdlSettings::Password = password;
    mdlSettings::AvailableSMS = credits;
    mdlSettings::EnableSecurity = security;
    mdlSettings::AskOnStartUp = startup;
    mdlSettings::AskOnSend = send;
}

} // namespace testsupport
