#pragma once

#include "net/BrowserPlugin.h"

#include <QObject>

// The plugin object of the browser module.
class BrowserModule : public QObject, public BrowserPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID BrowserPlugin_iid)
    Q_INTERFACES(BrowserPlugin)
public:
    QDialog* createWindow(const QUrl& address) override;
};
