#pragma once
// A data source: what views and detail datasets bind to, named like the data module's sources.
#include <QObject>

class Dataset;

class DataSource : public QObject {
    Q_OBJECT
public:
    DataSource(const QString& objectName, Dataset* dataset, QObject* parent = nullptr)
        : QObject(parent), dataset_(dataset) {
        setObjectName(objectName);
    }
    Dataset* dataset() const { return dataset_; }

private:
    Dataset* dataset_;
};
