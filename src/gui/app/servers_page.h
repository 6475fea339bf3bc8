#pragma once

#include <QWidget>

namespace varno {

// The "Servers" page: a notice that managing several servers is not part of this version.
class ServersPage : public QWidget {
    Q_OBJECT
public:
    explicit ServersPage(QWidget* parent = nullptr);
};

} // namespace varno
