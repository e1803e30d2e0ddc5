// Form1 on Linux, with GTK 3: creates the window and its controls and forwards their events to
// Form1's handlers. Everything the handlers do lives in Form1.cpp.
//
// Sizes. GTK places widgets in its own pixels, which GDK_SCALE multiplies on the screen, and draws
// text at the font resolution the desktop sets (Xft.dpi, GNOME's text scaling, GDK_DPI_SCALE). The
// layout is scaled by that font resolution as well, so that the controls grow with their text.
//
// Screen readers read the window through GTK's accessibility support: the buttons by their
// captions, and each box by its label (gtk_label_set_mnemonic_widget).

#include <gtk/gtk.h>

#include <cmath>
#include <string>
#include <utility>

#include "window/Form1.h"

// The program's icon, a PNG file built into it by cmake/linux.cmake.
extern const unsigned char kIconPng[];
extern const int kIconPngSize;

namespace {

using Form1Layout::Rect;

// The theme's own sizes give way to the layout's: Adwaita makes boxes and buttons at least 34 px
// high and boxes 168 px wide, which would cover the labels. The theme keeps its borders.
constexpr char kCss[] =
    "entry, button { min-height: 0; min-width: 0; padding-top: 0; padding-bottom: 0; }";

class GtkForm1 final : public Form1Controls {
 public:
  GtkForm1() {
    using namespace Form1Layout;
    // The font resolution, by which the layout is scaled, and GTK's select-on-focus, which this
    // window does itself (see OnBoxFocusIn); then the theme's sizes set aside.
    GdkScreen* screen = gdk_screen_get_default();
    const double resolution = gdk_screen_get_resolution(screen);
    dpi_ = resolution > 0 ? static_cast<int>(std::lround(resolution)) : 96;
    g_object_set(gtk_settings_get_default(), "gtk-entry-select-on-focus", FALSE, nullptr);
    AddCss(kCss);

    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), kCaption);
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, Scale(kClientWidth), Scale(kClientHeight));
    gtk_container_add(GTK_CONTAINER(window_), fixed);
    cmdPlay_ =
        MakeButton(fixed, kCmdPlay, kCmdPlayCaption, G_CALLBACK(&GtkForm1::OnCmdPlayClicked));
    sndStop_ =
        MakeButton(fixed, kSndStop, kSndStopCaption, G_CALLBACK(&GtkForm1::OnSndStopClicked));
    for (int index : {0, 1}) {
      GtkWidget* label =
          MakeWidget(fixed, gtk_label_new(index == 0 ? kLabel1Caption : kLabel2Caption),
                     index == 0 ? kLabel1 : kLabel2);
      gtk_label_set_xalign(GTK_LABEL(label), 0);
      gtk_label_set_yalign(GTK_LABEL(label), 0);
      txtVers_[index] = MakeBox(fixed, index == 0 ? kTxtVers0 : kTxtVers1);
      // The box's accessible name, by a "labelled by" relation.
      gtk_label_set_mnemonic_widget(GTK_LABEL(label), txtVers_[index]);
    }
    SetFonts();

    // Tab goes from the play button to stop, the start box and the end box; GTK would follow the
    // screen instead. (Deprecated in GTK 3.24 in favour of GTK 4's ways, but still there.)
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GList* chain = nullptr;
    for (GtkWidget* w : {txtVers_[1], txtVers_[0], sndStop_, cmdPlay_})
      chain = g_list_prepend(chain, w);
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
    g_list_free(chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_grab_focus(cmdPlay_);

    SetIcon();
    g_signal_connect(window_, "delete-event", G_CALLBACK(&GtkForm1::OnClose), this);
    form_.Form_Load();
  }

  int Run() {
    gtk_widget_show_all(window_);
    gtk_main();
    return 0;
  }

  // ---- Form1Controls ----
  std::string txtVersText(int index) override {
    return gtk_entry_get_text(GTK_ENTRY(txtVers_[index]));
  }
  // The program's own writes are not reported as changes: Form1 needs no report of them.
  void SetTxtVersText(int index, const std::string& text) override {
    g_signal_handlers_block_by_func(txtVers_[index], (gpointer)&GtkForm1::OnTxtVersChanged, this);
    gtk_entry_set_text(GTK_ENTRY(txtVers_[index]), text.c_str());
    g_signal_handlers_unblock_by_func(txtVers_[index], (gpointer)&GtkForm1::OnTxtVersChanged, this);
  }
  void SetTimer1Enabled(bool enabled) override {
    if (enabled && timer1_ == 0)
      timer1_ = g_timeout_add(Form1Layout::kTimer1IntervalMs, &GtkForm1::OnTimer1, this);
    if (!enabled && timer1_ != 0) g_source_remove(timer1_);
    if (!enabled) timer1_ = 0;
  }

 private:
  // GTK pixels at 96 dpi at this font resolution, rounded as the Windows program rounds them.
  int Scale(int pixels) const { return (pixels * dpi_ + 48) / 96; }

  static void AddCss(const char* css) {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
  }

  GtkWidget* MakeWidget(GtkWidget* fixed, GtkWidget* widget, const Rect& r) {
    gtk_widget_set_size_request(widget, Scale(r.width), Scale(r.height));
    gtk_fixed_put(GTK_FIXED(fixed), widget, Scale(r.left), Scale(r.top));
    return widget;
  }

  GtkWidget* MakeButton(GtkWidget* fixed, const Rect& r, const char* caption, GCallback onClick) {
    GtkWidget* button = MakeWidget(fixed, gtk_button_new_with_label(caption), r);
    g_signal_connect_swapped(button, "clicked", onClick, this);
    return button;
  }

  GtkWidget* MakeBox(GtkWidget* fixed, const Rect& r) {
    GtkWidget* box = MakeWidget(fixed, gtk_entry_new(), r);
    gtk_entry_set_width_chars(GTK_ENTRY(box), 1);  // as narrow as the layout wants
    gtk_entry_set_text(GTK_ENTRY(box), Form1Layout::kTxtVersInitial);
    g_signal_connect(box, "changed", G_CALLBACK(&GtkForm1::OnTxtVersChanged), this);
    g_signal_connect(box, "focus-in-event", G_CALLBACK(&GtkForm1::OnBoxFocusIn), nullptr);
    return box;
  }

  // The captions in the system's font at the largest size, from its own down to 7 points, at
  // which each fits its control on one line; the boxes' text in the system's font, made smaller
  // only where it would not fit the box's height. Sizes in GTK pixels, at this font resolution.
  void SetFonts() {
    PangoContext* context = gtk_widget_get_pango_context(window_);
    PangoFontDescription* font =
        pango_font_description_copy(pango_context_get_font_description(context));
    int normal = pango_font_description_get_size(font);  // in points, unless absolute
    if (!pango_font_description_get_size_is_absolute(font)) normal = normal * dpi_ / 72;
    normal = (normal + PANGO_SCALE / 2) / PANGO_SCALE;
    PangoLayout* layout = pango_layout_new(context);
    const auto width = [&](const char* text, int size) {
      pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
      pango_layout_set_font_description(layout, font);
      pango_layout_set_text(layout, text, -1);
      int pixels = 0;
      pango_layout_get_pixel_size(layout, &pixels, nullptr);
      return pixels;
    };
    const auto height = [&](int size) {
      pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
      PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
      const int ascent = pango_font_metrics_get_ascent(metrics);
      const int pixels = PANGO_PIXELS(ascent + pango_font_metrics_get_descent(metrics));
      pango_font_metrics_unref(metrics);
      return pixels;
    };
    const int smallest = (Form1Layout::kSmallestCaptionPoints * dpi_ + 36) / 72;
    const int buttonFrame = Frame(cmdPlay_, false);
    const int captionSize = Form1Layout::CaptionSize(
        normal, smallest,
        [&](const Form1Layout::Caption& c) {
          return Scale(c.width) - (c.button ? buttonFrame : 0);
        },
        width);
    int boxSize = normal;
    const int boxRoom = Scale(Form1Layout::kTxtVers0.height) - Frame(txtVers_[0], true);
    while (boxSize > smallest && height(boxSize) > boxRoom) --boxSize;
    g_object_unref(layout);
    pango_font_description_free(font);
    char* css = g_strdup_printf("label { font-size: %dpx; } entry { font-size: %dpx; }",
                                captionSize, boxSize);
    AddCss(css);
    g_free(css);
  }

  // What the theme's padding and border take of a widget's width, or of its height.
  static int Frame(GtkWidget* widget, bool height) {
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    GtkBorder p, b;
    gtk_style_context_get_padding(style, GTK_STATE_FLAG_NORMAL, &p);
    gtk_style_context_get_border(style, GTK_STATE_FLAG_NORMAL, &b);
    return height ? p.top + p.bottom + b.top + b.bottom : p.left + p.right + b.left + b.right;
  }

  void SetIcon() {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
    if (loader == nullptr) return;
    if (gdk_pixbuf_loader_write(loader, kIconPng, kIconPngSize, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr)) {
      gtk_window_set_icon(GTK_WINDOW(window_), gdk_pixbuf_loader_get_pixbuf(loader));
    }
    g_object_unref(loader);
  }

  static void OnCmdPlayClicked(GtkForm1* self) { self->form_.cmdPlay_Click(); }
  static void OnSndStopClicked(GtkForm1* self) { self->form_.sndStop_Click(); }

  static gboolean OnTimer1(gpointer self) {
    auto* form = static_cast<GtkForm1*>(self);
    form->form_.Timer1_Timer();
    // The tick may have ended the run; otherwise the timer goes on.
    return form->timer1_ != 0 ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
  }

  // GtkEntry reports typing over a selection as two changes: the text deleted, then the new
  // text. Handled one by one, the first would put "1" into the emptied box, and the typed digit
  // would land beside it. Both come within one event (a key, or an input method's text), so the
  // changes are gathered and reported once the event has been handled, before the next one.
  static void OnTxtVersChanged(GtkEditable* box, gpointer self) {
    auto* form = static_cast<GtkForm1*>(self);
    form->changed_[GTK_WIDGET(box) == form->txtVers_[0] ? 0 : 1] = true;
    if (form->report_ == 0)
      form->report_ = g_idle_add_full(G_PRIORITY_HIGH, &GtkForm1::ReportChanges, self, nullptr);
  }
  static gboolean ReportChanges(gpointer self) {
    auto* form = static_cast<GtkForm1*>(self);
    form->report_ = 0;
    for (int index : {0, 1})
      if (std::exchange(form->changed_[index], false)) form->form_.txtVers_Change(index);
    return G_SOURCE_REMOVE;
  }

  // A box that gets the focus by the keyboard has its text selected, as in a Windows dialog, so
  // that typing replaces it. GTK's own select-on-focus does it at once, and Orca then announces
  // the selected text alone; selected once GTK has told screen readers of the focus, the box is
  // announced with its label. A click into a box selects nothing.
  static gboolean OnBoxFocusIn(GtkWidget* box, GdkEvent*, gpointer) {
    GdkEvent* event = gtk_get_current_event();
    const bool byKey = event != nullptr && event->type == GDK_KEY_PRESS;
    if (event != nullptr) gdk_event_free(event);
    if (byKey)
      g_idle_add_full(G_PRIORITY_LOW, &GtkForm1::SelectAll, g_object_ref(box), g_object_unref);
    return FALSE;
  }
  static gboolean SelectAll(gpointer box) {
    if (gtk_widget_has_focus(GTK_WIDGET(box))) gtk_editable_select_region(GTK_EDITABLE(box), 0, -1);
    return G_SOURCE_REMOVE;
  }

  // Closing the window (Escape does not: a GtkWindow leaves it alone) cuts the sound and ends
  // the program.
  static gboolean OnClose(GtkWidget*, GdkEvent*, gpointer self) {
    auto* form = static_cast<GtkForm1*>(self);
    int cancel = 0;
    form->form_.Form_Unload(cancel);
    form->SetTimer1Enabled(false);
    gtk_main_quit();
    return FALSE;  // the window is destroyed, and every control with it
  }

  int dpi_ = 96;
  Form1 form_{*this};
  GtkWidget* window_ = nullptr;
  GtkWidget* cmdPlay_ = nullptr;
  GtkWidget* sndStop_ = nullptr;
  GtkWidget* txtVers_[2] = {nullptr, nullptr};
  bool changed_[2] = {false, false};  // a change of the box waiting to be reported
  guint report_ = 0;                  // the callback that reports them
  guint timer1_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  // The desktop entry names this class (WM_CLASS "brumbesang", "Brumbesang"), so that a dock ties
  // the window to it.
  g_set_prgname("brumbesang");
  gtk_init(&argc, &argv);
  GtkForm1 form;
  return form.Run();
}
