// SPDX-License-Identifier: GPL-3.0-or-later
// Shows a dealt table: a fixed seeded deal with a trick in the middle, won-trick markers and
// the dealer's turned card, or a gallery of the card art. For looking at the table and taking
// screenshots without playing up to that point.
//
//   halbeet-table-demo [--dealer 0..3] [--seed N] [--back 1..13] [--deck FILE] [--drawn-faces]
//                      [--gallery] [--animate] [--bidding] [--grab FILE] [--quit-after MS]

#include "core/deck.h"
#include "core/suits.h"
#include "ui/card_art.h"
#include "ui/motion.h"
#include "ui/table.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QCommandLineParser>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace halbeet;

namespace {

// The demo waits for its glide in a loop of its own; the game never does.
void glideAndWait(Table& table, CardSprite* m, CardSprite* t, int step)
{
    QEventLoop loop;
    bool over = false;
    table.glideTo(m, t, step, [&] {
        over = true;
        loop.quit();
    });
    if (!over)
        loop.exec();
}

struct DemoOptions {
    int dealerCounter = 3; // after the deal: seat 3 dealt and shows its turned card
    std::uint32_t seed = 20240611;
    int back = 2;
    bool animate = false;
    bool bidding = false;
};

TGameState dealTable(const DemoOptions& options)
{
    TGameState state;
    InitDeck(state.Deck);
    std::uint32_t next = options.seed;
    TRandom random([&next] { return next = next * 2654435761u + 97u; });
    // The deal moves the counter on by one seat: start one seat before the wanted dealer.
    state.DealerCounter = (options.dealerCounter + 3) % 4;
    ShuffleAndDeal(state.Deck, state.Trump, state.Hands[1], state.Hands[2], state.Hands[3],
                   state.Hands[4], state.DealerCounter, state.CutCard, random);
    SortHumanHand(state.Hands[1]);
    return state;
}

// Three tricks already taken, the fourth in the middle of the table.
void playSomeTricks(Table& table, const TGameState& state, int backCode, bool animate)
{
    const int taken[5] = {0, 1, 0, 2, 0};
    const int lastInHand[5] = {0, 0, 13, 13, 13};
    for (int seat = 1; seat <= 4; ++seat) {
        for (int n = 1; n <= taken[seat]; ++n) {
            CardSprite* marker = table.marker(seat, n);
            marker->setSuite(backCode);
            marker->show();
        }
        // Cards of the tricks gone by have left the hands.
        if (seat == 1)
            continue;
        for (int k = 1; k <= 3; ++k)
            table.handSprite(seat, lastInHand[seat] - 3 * k)->hide();
    }
    // The human's played cards, never the raised card of a human dealer.
    QList<CardSprite*> played;
    for (int k : {5, 8, 11, 7, 2, 4}) {
        CardSprite* sprite = table.handSprite(1, k);
        if (sprite->y() != Table::RaisedTop && played.size() < 4)
            played.append(sprite);
    }
    for (int i = 0; i < 3; ++i)
        played[i]->hide();
    CardSprite* mine = played[3];

    const int step = ComputeGlideStep(Table::Height + 60);
    for (int seat = 2; seat <= 4; ++seat) {
        CardSprite* from = table.handSprite(seat, seat + 2);
        const TCardFace face = state.Hands[seat][seat + 2];
        from->hide();
        CardSprite* mover = table.moveSprite(seat);
        mover->setFace(face);
        mover->move(seat == 2 ? from->x() - mover->width() : seat == 3 ? from->x() : 40 + from->x(),
                    from->y());
        CardSprite* slot = table.trickSlot(seat);
        if (animate) {
            glideAndWait(table, mover, slot, step);
        } else {
            mover->move(slot->pos());
            mover->raise();
            mover->show();
            slot->setFace(face);
        }
    }
    if (animate) {
        glideAndWait(table, mine, table.trickSlot(1), step);
    } else {
        mine->move(table.trickSlot(1)->pos());
        mine->raise();
        table.trickSlot(1)->setFace(mine->face());
    }
}

// Every face and every back, at the sizes the program uses.
class Gallery : public QWidget {
public:
    Gallery()
    {
        setWindowTitle(QStringLiteral("Card art"));
        setFixedSize(13 * 75 + 20, 4 * 100 + 20 + 170);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 128, 0));
        const qreal dpr = devicePixelRatioF();
        for (int suite = 1; suite <= 4; ++suite)
            for (int number = 1; number <= 13; ++number)
                p.drawPixmap(10 + (number - 1) * 75, 10 + (suite - 1) * 100,
                             CardArt::face(suite, number, QSize(71, 96), dpr));
        const int top = 4 * 100 + 20;
        for (int design = 1; design <= CardArt::BackDesigns; ++design) {
            p.drawPixmap(10 + (design - 1) * 75, top, CardArt::back(design, QSize(39, 57), dpr));
            p.drawPixmap(10 + (design - 1) * 75, top + 70, CardArt::back(design, QSize(56, 76), dpr));
        }
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption dealerOption("dealer", "DealerCounter after the deal (0..3).", "n");
    const QCommandLineOption seedOption("seed", "Seed of the deal.", "n");
    const QCommandLineOption backOption("back", "Back design 1..13.", "n");
    const QCommandLineOption drawnOption("drawn-faces", "Draw the faces instead of the SVG deck.");
    const QCommandLineOption deckOption("deck", "The SVG deck file to use.", "file");
    const QCommandLineOption galleryOption("gallery", "Show every face and back.");
    const QCommandLineOption animateOption("animate", "Glide the trick onto the table.");
    const QCommandLineOption biddingOption("bidding", "Show the table while the human bids.");
    const QCommandLineOption grabOption("grab", "Save the window to a PNG and quit.", "file");
    const QCommandLineOption quitOption("quit-after", "Quit after this many ms.", "ms");
    parser.addOptions({deckOption, dealerOption, seedOption, backOption, drawnOption, galleryOption,
                       animateOption, biddingOption, grabOption, quitOption});
    parser.process(app);

    DemoOptions options;
    if (parser.isSet(dealerOption))
        options.dealerCounter = std::clamp(parser.value(dealerOption).toInt(), 0, 3);
    if (parser.isSet(seedOption))
        options.seed = parser.value(seedOption).toUInt();
    if (parser.isSet(backOption))
        options.back = std::clamp(parser.value(backOption).toInt(), 1, CardArt::BackDesigns);
    options.animate = parser.isSet(animateOption);
    options.bidding = parser.isSet(biddingOption);
    if (parser.isSet(deckOption))
        CardArt::setDeckFile(parser.value(deckOption));
    if (parser.isSet(drawnOption))
        CardArt::setDeckFile(QString());

    std::unique_ptr<QWidget> window;
    if (parser.isSet(galleryOption)) {
        window = std::make_unique<Gallery>();
        window->show();
    } else {
        auto table = std::make_unique<Table>();
        table->setWindowTitle(QStringLiteral("Halbeet table"));
        const TGameState state = dealTable(options);
        const int backCode = -options.back;
        const QStringList names = {QString(), QStringLiteral("Ahmad"), QStringLiteral("Player2"),
                                   QStringLiteral("سلمى"), QStringLiteral("Player4")};
        for (int seat = 1; seat <= 4; ++seat) {
            table->setPlayerName(seat, names[seat]);
            table->shape(seat)->show();
        }
        table->bidLabel(1)->setText(options.bidding ? QString() : QStringLiteral("4"));
        table->bidLabel(2)->setText(QStringLiteral("3"));
        table->bidLabel(3)->setText(options.bidding ? QStringLiteral("?") : QStringLiteral("14"));
        table->bidLabel(4)->setText(options.bidding ? QStringLiteral("?") : QStringLiteral("2"));
        if (!options.bidding)
            table->warningImage()->show();
        table->show();

        table->ShowHumanHand(state);
        table->UpdateCards();
        table->ShowComputerBacks(backCode);
        if (CardSprite* cut = table->cutSprite(DealerSeat(state.DealerCounter)))
            cut->setFace(state.CutCard);
        table->RevealDeal(state.DealerCounter);
        if (options.bidding) {
            for (const char* bid : {"2", "3", "4", "5", "6", "14", "16", "18", "20", "22", "24", "26"})
                table->bidBox()->addItem(QString::fromLatin1(bid));
            table->bidBox()->setCurrentIndex(2);
            table->bidBox()->show();
            table->bidButton()->setText(QStringLiteral("OK"));
            table->bidButton()->setEnabled(true);
            table->bidButton()->show();
        } else {
            playSomeTricks(*table, state, backCode, options.animate);
        }
        window = std::move(table);
    }

    if (parser.isSet(grabOption)) {
        const QString file = parser.value(grabOption);
        QTimer::singleShot(300, &app, [&window, file] {
            const bool saved = window->grab().save(file);
            std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    } else if (parser.isSet(quitOption)) {
        QTimer::singleShot(parser.value(quitOption).toInt(), &app, &QCoreApplication::quit);
    }
    return app.exec();
}
