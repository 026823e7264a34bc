// SPDX-License-Identifier: GPL-3.0-or-later
// The base of every main-window test object: a fresh harness and empty settings per test.
#pragma once

#include "dialogharness.h"

#include <QObject>

#include <memory>

namespace parvex {

class DialogTestCase : public QObject
{
    Q_OBJECT

protected:
    // The control with the given id; the test ends at once when the window has none.
    template<class T = QWidget>
    T& the(int id) const
    {
        T* widget = h->control<T>(id);
        if (!widget)
            qFatal("no control %d of the expected class", id);
        return *widget;
    }

    // Runs after the harness is made, before each test.
    virtual void setUpHarness() { }
    // Runs before the harness goes, after each test; may still fail the test.
    virtual void tearDownHarness() { }

    std::unique_ptr<DialogHarness> h;

private Q_SLOTS:
    // Qt Test runs these private slots of the base for every test of a derived object.
    void init();
    void cleanup();
};

} // namespace parvex
