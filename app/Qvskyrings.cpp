// The chart window's field-of-view rings: circles of the user's eyepieces
// and finders about the atlas's centre, the list kept in Rings.txt beside
// the settings with whether the rings show.
#include "app/Qvsky.h"

#include "app/Errhandler.h"
#include "catalog/Clsfolders.h"
#include "catalog/Safefile.h"
#include "finder/Clsfinder.h"
#include "render/Clsatlas.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QVBoxLayout>

#include <filesystem>

namespace {
// Twenty rings and their comments fit many times over.
constexpr std::size_t kRingsFileMax = 64 * 1024;
} // namespace

void TfrmQVSKY::BuildRings() {
    RingsText = TFinder::DefaultRings();
    EditRingsText = [this](std::string& text, bool& shown) {
        QDialog dialog(this);
        dialog.setWindowTitle("Field-of-view rings");
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel("One ring a line, its field across: degrees (2, 0.5d) or "
                                     "minutes of arc (40').\nThey are drawn about the atlas's "
                                     "centre; '#' starts a comment.",
                                     &dialog));
        auto* edit = new QPlainTextEdit(QString::fromStdString(text), &dialog);
        layout->addWidget(edit);
        auto* show = new QCheckBox("Show on the atlas (Ctrl+R)", &dialog);
        show->setChecked(shown);
        layout->addWidget(show);
        auto* buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        dialog.resize(420, 320);
        if (dialog.exec() != QDialog::Accepted) return false;
        text = edit->toPlainText().toStdString();
        if (!text.empty() && text.back() != '\n') text += '\n';
        shown = show->isChecked();
        return true;
    };
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this] { ToggleRings(); });
}

void TfrmQVSKY::LoadRings() {
    RingsText = TFinder::DefaultRings();
    if (!UserFolder.empty()) {
        const std::string path = PathIn(UserFolder, TFinder::FileName);
        std::error_code ec;
        std::string text, why;
        if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found) {
            if (TSafeFile::ReadAll(path, kRingsFileMax, text, why))
                RingsText = text;
            else
                AppendErrLog(UserFolder, 0, why);
        }
    }
    ApplyRings(false);
}

void TfrmQVSKY::ApplyRings(bool tell) {
    std::vector<std::string> problems;
    const std::vector<TFinder::TRing> rings = TFinder::ReadRings(RingsText, problems, &RingsShown);
    Atlas->Rings.clear();
    if (RingsShown)
        for (const TFinder::TRing& r : rings)
            Atlas->Rings.push_back({r.Radius, r.Label});
    if (problems.empty()) return;
    std::string message = std::string(TFinder::FileName) + ": lines left out:";
    for (const std::string& p : problems)
        message += "\n" + p;
    if (tell && Ask)
        Ask(2, message);
    else if (!UserFolder.empty())
        AppendErrLog(UserFolder, 0, message);
}

bool TfrmQVSKY::SaveRings(const std::string& text, std::string& why) {
    // The rings change on the chart whether or not they can be kept.
    RingsText = text;
    if (UserFolder.empty()) return true;
    if (TSafeFile::WriteAtomic(PathIn(UserFolder, TFinder::FileName), text, why)) return true;
    why = "The rings are not remembered: " + why;
    return false;
}

void TfrmQVSKY::ToggleRings() {
    std::string why;
    if (!SaveRings(TFinder::SetShown(RingsText, !RingsShown), why) && Ask) Ask(2, why);
    ApplyRings(false);
    RedrawAtlas(false);
}

void TfrmQVSKY::EditRings() {
    bool shown = RingsShown;
    std::string text = TFinder::SetShown(RingsText, true);
    if (!EditRingsText || !EditRingsText(text, shown)) return;
    std::string why;
    if (!SaveRings(TFinder::SetShown(text, shown), why) && Ask) Ask(2, why);
    ApplyRings(true);
    RedrawAtlas(false);
}
