#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <array>
#include <optional>
#include <vector>

// One element the user picked in the page. Its id names the page attribute that marks the element
// ("data-pk-pick-" and the id) and chooses its colour.
struct PickEntry {
    qint64 id = 0;
    QString html;
    QString hex;
    QColor color;
    QString selector;
    QString innerText;
    QString xpath;
};

struct PickColor {
    QColor color;
    QString hex;
};

// The five colours of the picks, by id: the colour follows the id, not the place in the list.
const std::array<PickColor, 5>& pickColors();
const PickColor& pickColorFor(qint64 id);

// The stored form of the list: a JSON array of {"id","html","hex","selector","innerText","xpath"},
// oldest first.
QByteArray encodePickRecords(const std::vector<PickEntry>& picks);
// Every record must hold all six members with their types, or nothing is read. The colour of a
// restored pick follows its id; its hex text is the stored one.
std::optional<std::vector<PickEntry>> decodePickRecords(const QByteArray& json);
