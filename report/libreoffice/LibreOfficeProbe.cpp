#include "report/libreoffice/LibreOfficeProbe.h"

#include "report/libreoffice/LibreOfficeState.h"

#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextGraphicObjectsSupplier.hpp>

#include <memory>

using css::uno::UNO_QUERY_THROW;

namespace {

// Reads a text of the open document. The result lives on the heap: a call that outlives
// its deadline may still write it.
template <typename Read>
std::optional<std::string> ReadDocument(LibreOfficeWordProcessor::State &state, Read read)
{
    auto text = std::make_shared<std::string>();
    if (!state.run([&state, text, read] {
            *text = Utf8(read(state.document));
            return true;
        }))
        return std::nullopt;
    return *text;
}

} // namespace

std::optional<std::string> LibreOfficeProbe::documentText()
{
    return ReadDocument(*office_.state_, [](const Reference<css::lang::XComponent> &document) {
        return Reference<css::text::XTextDocument>(document, UNO_QUERY_THROW)
            ->getText()
            ->getString();
    });
}

std::optional<std::string> LibreOfficeProbe::documentUrl()
{
    return ReadDocument(*office_.state_, [](const Reference<css::lang::XComponent> &document) {
        return Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getURL();
    });
}

std::optional<double> LibreOfficeProbe::weightOf(std::string_view text)
{
    auto weight = std::make_shared<double>(-1);
    if (!office_.state_->run([state = office_.state_.get(), weight, search = Unicode(text)] {
            const Reference<css::text::XTextRange> found = FindAfter(state->document, {}, search);
            if (!found.is()) return false;
            const Reference<css::beans::XPropertySet> format(found, UNO_QUERY_THROW);
            float value = 0;
            format->getPropertyValue(OUString("CharWeight")) >>= value;
            *weight = value;
            return true;
        }))
        return std::nullopt;
    return *weight;
}

std::optional<int> LibreOfficeProbe::graphicCount()
{
    auto count = std::make_shared<int>(0);
    if (!office_.state_->run([state = office_.state_.get(), count] {
            // Every picture of a text document is one of its graphic objects.
            const Reference<css::container::XNameAccess> graphics(
                Reference<css::text::XTextGraphicObjectsSupplier>(state->document, UNO_QUERY_THROW)
                    ->getGraphicObjects(),
                UNO_QUERY_THROW);
            *count = graphics->getElementNames().getLength();
            return true;
        }))
        return std::nullopt;
    return *count;
}

bool LibreOfficeProbe::exportPdf(const QString &path)
{
    const OUString url =
        Unicode(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toStdString());
    return office_.state_->run([state = office_.state_.get(), url] {
        css::uno::Sequence<css::beans::PropertyValue> arguments(1);
        arguments.getArray()[0].Name = OUString("FilterName");
        arguments.getArray()[0].Value <<= OUString("writer_pdf_Export");
        Reference<css::frame::XStorable>(state->document, UNO_QUERY_THROW)
            ->storeToURL(url, arguments);
        return true;
    });
}
