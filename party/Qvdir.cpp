#include "party/Qvdir.h"
#include "controls/Look.h"

#include "catalog/Clsfolders.h"
#include "controls/Framelabel.h"
#include "party/Partyshape.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>

namespace {

constexpr int kWidth = 500, kHeight = 340;

const char* kStyle =
    "QComboBox, QListWidget, QComboBox QAbstractItemView {"
    " background: black; color: rgb(255,0,0); border: 1px solid rgb(255,0,0);"
    " selection-background-color: rgb(128,0,0); selection-color: black; }"
    "QLabel { color: rgb(255,0,0); }"
    "QScrollBar:vertical { background: black; border: 1px solid rgb(255,0,0); width: 14px; }"
    "QScrollBar::handle:vertical { background: rgb(128,0,0); min-height: 12px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0px; }";

std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find('/', start);
        parts.push_back(path.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return parts;
}

// path inside root (a mount point): does it lie on that volume?
bool Inside(const std::string& path, const std::string& root) {
    if (root == "/") return !path.empty() && path[0] == '/';
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

} // namespace

TfrmDir::TfrmDir(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setModal(true);
    setWindowTitle("Network Folder");
    setFixedSize(kWidth, kHeight);
    SetWindowLook(this, 9);
    setStyleSheet(kStyle);

    shpFrame = new TPartyShape(this);
    shpFrame->setGeometry(0, 0, kWidth, kHeight);
    drag_.Attach(shpFrame);

    auto button = [this](const char* text, int x, int y, int w) {
        auto* f = RedButton(this, text, QRect(x, y, w, 20), 9);
        f->SetPsE(true);
        return f;
    };
    flbControler = button("Network Folder", 4, 4, kWidth - 8);
    flbControler->SetCB(RGBColor(128, 0, 0));
    flbControler->SetPsE(false);
    drag_.Attach(flbControler);

    dcbKyoyu = new QComboBox(this);
    dcbKyoyu->setGeometry(15, 34, kPathWidth, 22);
    dlbKyoyu = new QListWidget(this);
    dlbKyoyu->setGeometry(15, 62, kPathWidth, 212);
    labPath = new QLabel(this);
    labPath->setGeometry(15, 280, kPathWidth, 18);
    labPath->setFont(QFont("Arial", 9));

    flbOk = button("OK", kWidth - 150, kHeight - 32, 60);
    flbCancel = button("Cancel", kWidth - 80, kHeight - 32, 60);
    flbOk->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbOkMouseDown();
    };
    flbCancel->OnMouseDown = [this](QWidget*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        flbCancelMouseDown();
    };

    connect(dcbKyoyu, &QComboBox::currentIndexChanged, this, [this](int i) { dcbKyoyuChange(i); });
    connect(dlbKyoyu, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        dlbKyoyuChange(item->data(Qt::UserRole).toString().toStdString());
    });

    // The list starts in the working folder of the program.
    folder_ = QDir::currentPath().toStdString();
}

std::string TfrmDir::ShortPath(const std::string& path, int width,
                               const std::function<int(const std::string&)>& measure) {
    if (measure(path) <= width) return path;
    std::vector<std::string> parts = Split(path);
    if (parts.size() < 3) return path;
    // Keep the first folder (with the root before it) and the last one; drop
    // the middle folders from the front until the text fits.
    const std::string head = parts[0] + "/" + parts[1];
    for (std::size_t from = 3; from < parts.size(); ++from) {
        std::string text = head + "/...";
        for (std::size_t k = from; k < parts.size(); ++k)
            text += "/" + parts[k];
        if (measure(text) <= width) return text;
    }
    return ".../" + parts.back();
}

int TfrmDir::VolumeOf(const std::string& path) const {
    int best = -1;
    for (int i = 0; i < static_cast<int>(volumes_.size()); ++i)
        if (Inside(path, volumes_[i].Root) &&
            (best < 0 || volumes_[i].Root.size() > volumes_[best].Root.size()))
            best = i;
    return best;
}

void TfrmDir::FillVolumes() {
    volumes_ = ListVolumes ? ListVolumes() : std::vector<TVolume>();
    filling_ = true;
    dcbKyoyu->clear();
    for (const TVolume& v : volumes_)
        dcbKyoyu->addItem(QString::fromStdString(v.Text()));
    filling_ = false;
}

void TfrmDir::ShowDrive(int index) {
    filling_ = true;
    dcbKyoyu->setCurrentIndex(index);
    filling_ = false;
}

void TfrmDir::FillTree() {
    dlbKyoyu->clear();
    auto add = [this](const std::string& name, const std::string& path, int depth) {
        auto* item = new QListWidgetItem(QString(depth * 3, ' ') + QString::fromStdString(name));
        item->setData(Qt::UserRole, QString::fromStdString(path));
        dlbKyoyu->addItem(item);
        return item;
    };
    QListWidgetItem* current = nullptr;
    int depth = 0;
    if (drive_ >= 0) {
        // The open path from the volume's root down to the current folder.
        const std::string root = volumes_[drive_].Root;
        std::string path = root;
        current = add(root, root, depth);
        std::string rest = folder_.size() > root.size() ? folder_.substr(root.size()) : "";
        for (const std::string& part : Split(rest)) {
            if (part.empty()) continue;
            path = PathIn(path, part);
            current = add(part, path, ++depth);
        }
    }
    // Then the folders inside it.
    const QStringList subs =
        QDir(QString::fromStdString(folder_))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& s : subs)
        add(s.toStdString(), PathIn(folder_, s.toStdString()), depth + 1);
    if (current) dlbKyoyu->setCurrentItem(current);

    const QFontMetrics fm(labPath->font());
    labPath->setText(
        QString::fromStdString(ShortPath(folder_, kPathWidth, [&](const std::string& t) {
            return fm.horizontalAdvance(QString::fromStdString(t));
        })));
}

bool TfrmDir::SetFolder(const std::string& path) {
    if (volumes_.empty()) FillVolumes();
    const std::string folder =
        path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    const int drive = VolumeOf(folder);
    // Listing a folder on a network volume that has gone away would hang.
    std::string why;
    if (drive != VolumeOf(folder_) && drive >= 0 && Ready && !Ready(volumes_[drive].Root, why))
        return false;
    folder_ = folder;
    drive_ = lastGood_ = drive;
    ShowDrive(drive_);
    FillTree();
    return true;
}

void TfrmDir::FormShow() {
    // Volumes come and go between showings.
    FillVolumes();
    drive_ = lastGood_ = VolumeOf(folder_);
    ShowDrive(drive_);
    savedFolder_ = folder_;
    FillTree();
}

void TfrmDir::showEvent(QShowEvent* e) {
    FormShow();
    QDialog::showEvent(e);
}

void TfrmDir::dcbKyoyuChange(int index) {
    if (filling_ || index < 0 || index >= static_cast<int>(volumes_.size()) || index == drive_)
        return;
    std::string why;
    if (Ready && !Ready(volumes_[index].Root, why)) {
        // Back to the last volume that answered, before the message.
        ShowDrive(lastGood_);
        if (Ask)
            Ask(2, "Drive not ready");
        else
            QMessageBox::warning(this, "Network Folder", "Drive not ready");
        return;
    }
    drive_ = lastGood_ = index;
    folder_ = volumes_[index].Root;
    FillTree();
}

void TfrmDir::dlbKyoyuChange(const std::string& path) {
    folder_ = path;
    FillTree();
}

void TfrmDir::flbOkMouseDown() {
    accept();
}

void TfrmDir::flbCancelMouseDown() {
    folder_ = savedFolder_;
    drive_ = lastGood_ = VolumeOf(folder_);
    ShowDrive(drive_);
    FillTree();
    reject();
}

void TfrmDir::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        flbCancelMouseDown();
        return;
    }
    QDialog::keyPressEvent(e);
}
