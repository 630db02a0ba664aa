#pragma once
// The application object: decides from the settings whether the browser's Facebook
// cookie file goes, deletes it before the main dialog runs and again after it closed,
// and runs the dialog modally in between.

#include "app/gui/DisplayCheck.h"

#include <wx/app.h>

#include <string>
#include <vector>

class CZendrik2App : public wxApp {
public:
    // The display check's connection is held until the toolkit has opened its own.
    CZendrik2App(std::vector<std::u16string> arguments, DisplayConnection& checkedDisplay)
        : arguments_(std::move(arguments)),
          checkedDisplay_(checkedDisplay)
    {
    }

    // The options are the dialog's own; wx's command-line parser would refuse them.
    bool OnInit() override;
    int OnRun() override;

private:
    void RunMainDialog();

    std::vector<std::u16string> arguments_;
    DisplayConnection& checkedDisplay_;
};
