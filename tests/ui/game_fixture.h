#pragma once

// One run of the program for the flow tests: a private settings folder, a fixed seed
// sequence, the real main window shown and the name dialog answered, time scaled to 0.

#include "dialog_helpers.h"

#include "core/state.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/score_sheet.h"
#include "ui/startup.h"
#include "ui/table.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

namespace halbeet::testing {

// `dealerBefore` is DealerCounter before the first deal, so the first deal is dealt by seat
// dealerBefore + 1 (seat 4 when that is 4).
struct Game {
    TempSettings settings;
    TGameState state;
    std::unique_ptr<TForm1> window;

    explicit Game(std::uint32_t seed = 1, int dealerBefore = 0, const QByteArray& ini = {},
                  const QString& language = QStringLiteral("EN"))
    {
        if (!ini.isEmpty())
            settings.write(ini);
        setCurrentLang(language);
        setTimeScale(0);
        state.DealerCounter = dealerBefore;
        window = createMainWindow(state, [n = seed]() mutable { return n++; });
        window->setNameDialogDelay(0);
        window->show();
        QTRY_VERIFY(window->nameDialog() && window->nameDialog()->isVisible());
        window->nameDialog()->nameField()->setText(QStringLiteral("Hawk"));
        window->nameDialog()->BitBtn1Click();
    }

    Table& table() const { return *window->table(); }

    // Picks the bid text in the list and confirms it with a click.
    void bid(const QString& text)
    {
        QComboBox* box = table().bidBox();
        box->setCurrentIndex(box->findText(text));
        QVERIFY(box->currentIndex() >= 0);
        QVERIFY(table().bidButton()->isEnabled());
        QTest::mouseClick(table().bidButton(), Qt::LeftButton);
    }

    // The sprite of the human's hand that shows this card.
    CardSprite* spriteOf(TCardFace card) const
    {
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = table().handSprite(1, k);
            if (sprite->isVisible() && sprite->face() == card && sprite->y() >= Table::RaisedTop)
                return sprite;
        }
        return nullptr;
    }

    // A card of the human's hand that the follow-suit rule allows now.
    TCardFace legalCard() const
    {
        const int led = state.Trick[1].Suite;
        for (int k = 1; k <= state.HandCount[1]; ++k) {
            if (led == 0 || state.Splits[1].Counts[led] == 0 || state.Hands[1][k].Suite == led)
                return state.Hands[1][k];
        }
        return {};
    }

    static void click(CardSprite* sprite)
    {
        QTest::mouseClick(sprite, Qt::LeftButton, {}, QPoint(4, 20));
    }

    // Plays legal cards until the deal's last trick opens the score sheet, which `onSheet`
    // inspects before it is closed with OK.
    void playOutDeal(const std::function<void(TScores*)>& onSheet = {})
    {
        bool sheetSeen = false;
        while (state.CardsPlayed < 52 && state.HandCount[1] > 0) {
            CardSprite* sprite = spriteOf(legalCard());
            QVERIFY2(sprite, "the legal card has no visible sprite");
            const int before = state.HandCount[1];
            if (before == 1) {
                whenModal([&](QWidget* modal) {
                    auto* sheet = qobject_cast<TScores*>(modal);
                    QVERIFY(sheet);
                    sheetSeen = true;
                    if (onSheet)
                        onSheet(sheet);
                    if (sheet->isVisible())
                        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
                });
            }
            click(sprite);
            if (before == 1)
                break; // the sheet's OK has dealt the next deal
            QCOMPARE(state.HandCount[1], before - 1);
        }
        QVERIFY(sheetSeen);
    }
};

} // namespace halbeet::testing
