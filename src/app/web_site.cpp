#include "app/web_site.h"

#include <QProcess>
#include <QStringList>

namespace orva {

void OpenWebSite() {
    QProcess::startDetached("xdg-open", QStringList{kWebSiteAddress});
}

}  // namespace orva
