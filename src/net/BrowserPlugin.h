#pragma once

#include <QtPlugin>

class QDialog;
class QUrl;

// What the browser module (dz_browser) offers. The module alone links the browser
// engine; the program loads it when the first discussion window opens.
class BrowserPlugin {
public:
    virtual ~BrowserPlugin() = default;
    // A new discussion window, not yet shown, navigating to the address.
    virtual QDialog* createWindow(const QUrl& address) = 0;
};

#define BrowserPlugin_iid "kr.dozoruderado.BrowserPlugin/1"
Q_DECLARE_INTERFACE(BrowserPlugin, BrowserPlugin_iid)
