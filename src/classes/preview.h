// TPreview: a window that shows the page metafiles of a printer in preview
// mode, one page at a time on a sheet of the printer's paper size. PgDn,
// PgUp, the arrows, Home, End and the wheel turn pages; P prints the pages on
// the printer; Esc closes. Closing ends the printer (its metafiles go).
#pragma once

#include <memory>

#include "classes/window.h"

namespace nx {

class TPrinter;

class TPreview : public TWindow {
 public:
  const char* ClassName() const override { return "TPREVIEW"; }
  bool EndsHelpSearch() const override { return false; }
  bool& lRegistered() override {
    static bool registered = false;
    return registered;
  }

  // Opens the preview of oPrinter's pages; a modal one (lPrvModal) returns
  // when it is closed, with its owner disabled meanwhile.
  static std::shared_ptr<TPreview> New(const std::shared_ptr<TPrinter>& oPrinter);

  std::shared_ptr<TPrinter> oPrinter;
  int nPage = 1;  // the page shown, from 1

  void GoPage(int n);
  int nPages() const;
  // Prints the previewed pages on the process-wide printer; false when no
  // printer context could be had.
  bool PrintPages();

  Value KeyDown(int nKey, int nFlags) override;
  Value MouseWheel(int nKeys, int nDelta, int nXPos, int nYPos) override;
  Value Destroy() override;

  // Where the sheet and the printable area lie in a client area of that size.
  struct Layout {
    RECT rcSheet{};
    RECT rcPrintable{};
  };
  Layout PageLayout(int nWidth, int nHeight) const;

 private:
  void PaintPage(HDC hDC);
};

}  // namespace nx
