#pragma once

#include <QWidget>

namespace orinsub::patch {

/// The captions "CH" and "DIM" above the patch grid's columns.
class CPatchHeaderView : public QWidget
{
    Q_OBJECT

public:
    explicit CPatchHeaderView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace orinsub::patch
