#pragma once
// Moving the program's data between stores of either back end: a folder's file onto a server, a
// server's data into a file (its copies), a copy back onto a server.
#include <QString>

class Store;

// Copies the rows of every table of `from` into the same, empty, tables of `to`, each row keeping
// its identity (and so its place among rows of equal keys). Runs inside the caller's transaction on
// `to`; throws DbError.
void copyRows(Store& from, Store& to);
// What differs between the two stores' tables: counts of rows and checksums of their values.
// Empty when every table holds the same rows.
QString compareStores(Store& a, Store& b);
