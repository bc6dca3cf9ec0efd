#pragma once
// Which database server the program of this data folder works with, as the "Сервер базы данных"
// page of the parameters keeps it: in the folder's own file "server.ini", beside the templates,
// exports and copies that stay in the folder whatever the store. No password is ever kept: it is
// asked at the start or taken from the user's ~/.pgpass or service file.
#include "core/RootPaths.h"

#include <QString>

struct ServerSettings {
    bool use = false; // work with the server rather than the folder's own database
    QString host;
    int port = 5432;
    QString database;
    QString user; // empty: the system user's name, as libpq takes it

    // What the folder keeps; the defaults when it keeps nothing.
    static ServerSettings load(const RootPaths& root);
    // Writes the folder's file whole or not at all; throws UserError.
    void save(const RootPaths& root) const;

    // What is wrong with the settings, in the user's words; empty when they can be used (always,
    // when the server is not used). `where` receives the setting at fault.
    enum class Setting { None, Host, Port, Database };
    QString problem(Setting* where = nullptr) const;
    // The connection string for libpq; empty when the server is not used.
    QString url() const;

    // The store the program starts with: the one named on its command line or by TOVEX_DB (given
    // as `commandLine`), else the folder's server when it is to be used, else none (the folder's
    // own database).
    static QString startUrl(const QString& commandLine, const RootPaths& root);

    bool operator==(const ServerSettings&) const = default;
};
