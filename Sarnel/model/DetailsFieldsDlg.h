// The detail fields sheet. Its page base is shared by every property sheet of the program (the
// details, the options and the job properties), so that they all behave alike.
#pragma once

#include "classlib/ClassLib.h"

class CDetailsFieldsDlg : public CPropertySheet {
 public:
  using CPropertySheet::CPropertySheet;

  // A class-library page that is deleted through its base: sheets may own their pages.
  class CMyPropertyPage : public CPropertyPage {
   public:
    using CPropertyPage::CPropertyPage;
    ~CMyPropertyPage() override = default;
  };
};
