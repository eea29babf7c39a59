#pragma once
// The book open on the page "当前阅读": its id and name, empty until a book is opened. The
// reading page sets it; the bookshelf clears it when that book is deleted, and the main
// window answers closed() by going back to "我的书架" and hiding the "当前阅读" tab.
// Main thread only.
#include <QObject>
#include <QString>

namespace inkwren {

class CurrentBook : public QObject {
  Q_OBJECT
public:
  using QObject::QObject;
  const QString &id() const { return id_; }
  const QString &name() const { return name_; }
  bool isOpen() const { return !id_.isEmpty(); }

  void set(const QString &id, const QString &name) {
    id_ = id;
    name_ = name;
    emit opened(id_);
  }
  // Forgets the book (it has been deleted).
  void clear() {
    id_.clear();
    name_.clear();
    emit closed();
  }

signals:
  void opened(const QString &bookId);
  void closed();

private:
  QString id_, name_;
};

} // namespace inkwren
