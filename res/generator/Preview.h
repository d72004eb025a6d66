#pragma once

#include <QImage>
#include <QMap>
#include <QString>

// Pictures for judging the artwork by eye: a contact sheet of every image
// with its frames, and each window put together the way the program shows it
// (background, buttons at their template places, texts in their fonts).
class Preview {
public:
    // Reads the generated files below resFolder.
    explicit Preview(const QString& resFolder);

    QImage ContactSheet() const;
    QMap<QString, QImage> Windows() const;
    // Enlarged crops of the places that need a close look (corners, bar ends).
    QImage Details() const;

private:
    QImage Bitmap(int id) const;
    QImage Png(int id) const;
    QImage MainWindow() const;
    QImage SettingsWindow() const;
    QImage AboutBox() const;
    QImage MessageBox(bool ask) const;
    QImage FinishDialog() const;
    QImage PasswordPrompt() const;
    QImage ProgressBar(int percent) const;

    QString m_res;
};
