#pragma once
// Runs a modal dialog and returns its result. The program execs it; tests install a runner
// that hands the open dialog to a scripted hand instead.
class QDialog;

class DialogRunner {
public:
    virtual ~DialogRunner() = default;
    virtual int run(QDialog& dialog);
};
